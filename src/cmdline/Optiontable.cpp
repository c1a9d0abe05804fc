#include "cmdline/Optiontable.h"

#include <cstdint>
#include <optional>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "support/Textutils.h"

namespace {

using Job = TMq71R04CompilerObject;

// How many values an option accepts.
enum class ValueCount { None, NoneOrOne, ExactlyOne, OneOrMore };

// One option: its key, the values it accepts, the message for any other count, and its effect.
struct OptionRule {
  std::string_view Key;
  ValueCount Accepts;
  MessageForm MisuseMessage;
  // Stores accepted values; returns false (after printing why) when a value is unusable.
  bool (*Apply)(Job& job, const OptionValues& values);
  // What a misuse leaves behind in the job, or null when it leaves nothing.
  void (*OnMisuse)(Job& job);
};

constexpr MessageForm kNotInteger =
    CommandLineMessage("Key option \"-is\" must have one integer value, \"%s\" is not integer.");
constexpr MessageForm kInvalidKey = CommandLineMessage("Invalid option key \"%s\"");

// A single-valued option given bare takes its default; "out.bin" and "list.txt" exist only for
// a bare "-of" and "-lf", an absent option leaves the field empty.
std::string ValueOr(const OptionValues& values, std::string_view bareDefault) {
  return values.empty() ? std::string(bareDefault) : values.front();
}

template <bool Job::*Flag>
bool SetFlag(Job& job, const OptionValues&) {
  job.*Flag = true;
  return true;
}

bool StoreImageSizeLimit(Job& job, const OptionValues& values) {
  // The same integer syntax as numbers in sources.
  int32_t limit = 0;
  if (!TMq71R04_ASMParserObject::ConvertInteger(values.front(), limit)) {
    return Fail(job, kNotInteger, {values.front()});
  }
  job.ImageSizeLimit = limit;
  return true;
}

void AppendAll(std::vector<std::string>& list, const OptionValues& values) {
  list.insert(list.end(), values.begin(), values.end());
}

const OptionRule kOptionTable[] = {
    {"tl", ValueCount::None, CommandLineMessage("Key option \"-tl\" must don't have values."),
     SetFlag<&Job::TraceLines>, nullptr},
    {"tc", ValueCount::None, CommandLineMessage("Key option \"-tc\" must don't have values."),
     SetFlag<&Job::PrintTime>, nullptr},
    {"cs", ValueCount::NoneOrOne,
     CommandLineMessage("Key option \"-cs\" must have one value or empty."),
     [](Job& job, const OptionValues& values) {
       job.ChecksumLabel = ValueOr(values, "");
       return true;
     },
     nullptr},
    {"oi", ValueCount::None, CommandLineMessage("Key option \"-oi\" must don't have values."),
     SetFlag<&Job::ImageInfo>, nullptr},
    {"ro", ValueCount::None, CommandLineMessage("Key option \"-ro\" must don't have values."),
     SetFlag<&Job::RawImage>, nullptr},
    {"of", ValueCount::NoneOrOne,
     CommandLineMessage("Key option \"-of\" must have one value or empty."),
     [](Job& job, const OptionValues& values) {
       job.OutputFileName = ValueOr(values, "out.bin");
       return true;
     },
     nullptr},
    {"mh", ValueCount::NoneOrOne,
     CommandLineMessage("Key option \"-mh\" must have one value or empty."),
     [](Job& job, const OptionValues& values) {
       job.MalfunctionHandler = ValueOr(values, "");
       return true;
     },
     nullptr},
    {"is", ValueCount::ExactlyOne,
     CommandLineMessage("Key option \"-is\" must have one integer value."), StoreImageSizeLimit,
     nullptr},
    {"lf", ValueCount::NoneOrOne,
     CommandLineMessage("Key option \"-lf\" must have one value or empty."),
     [](Job& job, const OptionValues& values) {
       job.ListFileName = ValueOr(values, "list.txt");
       return true;
     },
     nullptr},
    {"rd", ValueCount::ExactlyOne, CommandLineMessage("Key option \"-rd\" must have one value."),
     [](Job& job, const OptionValues& values) {
       job.RootDir = values.front();
       return true;
     },
     [](Job& job) { job.RootDir = std::string(kInvalidRootMarker); }},
    {"sl", ValueCount::OneOrMore,
     CommandLineMessage("Key option \"-sl\" must have one or more value."),
     [](Job& job, const OptionValues& values) {
       AppendAll(*job.SourceFiles, values);
       return true;
     },
     nullptr},
    {"ip", ValueCount::OneOrMore,
     CommandLineMessage("Key option \"-ip\" must have one or more value."),
     [](Job& job, const OptionValues& values) {
       AppendAll(*job.LibraryDirs, values);
       return true;
     },
     nullptr},
};

const OptionRule* FindOptionRule(std::string_view key) {
  for (const OptionRule& rule : kOptionTable) {
    if (rule.Key == key) return &rule;
  }
  return nullptr;
}

bool AcceptsValueCount(ValueCount accepts, size_t count) {
  switch (accepts) {
    case ValueCount::None:
      return count == 0;
    case ValueCount::NoneOrOne:
      return count <= 1;
    case ValueCount::ExactlyOne:
      return count == 1;
    case ValueCount::OneOrMore:
      return count >= 1;
  }
  return false;
}

}  // namespace

bool Fail(Job& job, const MessageForm& form, std::initializer_list<std::string_view> details) {
  job.Out.Report(form, SourcePlace::Nowhere(), details);
  return false;
}

bool ApplyOption(Job& job, const std::string& key, const OptionValues& values) {
  const OptionRule* rule = FindOptionRule(key);
  if (rule == nullptr) return Fail(job, kInvalidKey, {key});
  if (!AcceptsValueCount(rule->Accepts, values.size())) {
    if (rule->OnMisuse != nullptr) rule->OnMisuse(job);
    return Fail(job, rule->MisuseMessage);
  }
  return rule->Apply(job, values);
}
