#include "driver/Entrypoint.h"

#include <cstdlib>
#include <exception>
#include <memory>

#include "cmdline/Commandlineparserclass.h"
#include "driver/Compilerobject.h"

namespace {

constexpr char kStandardOutputFailed[] = "Cannot write standard output";

// Six significant digits laid out in fixed notation: the scientific form gives the rounded
// digits and the exponent, which places the decimal point.
std::string FixedSixDigits(double value) {
  if (value == 0.0) return "0";
  char scientific[32];
  std::snprintf(scientific, sizeof scientific, "%.5e", value);  // d.ddddde±x
  const std::string text(scientific);
  std::string digits = text.substr(0, 1) + text.substr(2, 5);
  const int exponent = std::atoi(text.c_str() + text.find('e') + 1);
  std::string result;
  if (exponent < 0) {
    result = "0." + std::string(-exponent - 1, '0') + digits;
  } else if (exponent + 1 >= static_cast<int>(digits.size())) {
    result = digits + std::string(exponent + 1 - digits.size(), '0');
  } else {
    result = digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
  }
  if (result.find('.') != std::string::npos) {
    while (result.back() == '0') result.pop_back();
    if (result.back() == '.') result.pop_back();
  }
  return result;
}

}  // namespace

std::string FormatSeconds(uint32_t elapsedMs) {
  const float seconds = static_cast<float>(static_cast<double>(elapsedMs) * 0.001);
  return FixedSixDigits(seconds);
}

int RunTranslator(int argc, const char* const argv[], std::FILE* out, std::FILE* err) {
  std::unique_ptr<TMq71R04CompilerObject> job;
  int status = 1;
  try {
    job = std::make_unique<TMq71R04CompilerObject>(out);
    TCommandLineParser parser;
    if (parser.Parse(argc, argv, *job) == 0) {
      const uint32_t start = job->TickCounter();
      if (job->Compile() == 0) {
        const uint32_t elapsed = job->TickCounter() - start;
        if (job->PrintTime) {
          job->Out.WriteLine("Translating time : " + FormatSeconds(elapsed) + " sec.");
        }
        status = 0;
      }
    }
  } catch (const std::exception& error) {
    if (job) job->Out.Flush();
    std::fprintf(err, "%s\n", error.what());
  } catch (...) {
    if (job) job->Out.Flush();
    std::fprintf(err, "\n");
  }
  if (job) {
    job->Out.Flush();
    if (job->Out.WriteFailed()) {
      std::fprintf(err, "%s\n", kStandardOutputFailed);
      status = 1;
    }
  }
  job.reset();
  std::fflush(out);
  std::fflush(err);
  return status;
}
