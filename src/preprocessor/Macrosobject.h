#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "worktable/Worktableobject.h"

class TMq71R04CompilerObject;

// One macro: its name, its parameter names and its body as work-table rows ("#" in columns 3
// to 7). Definitions are read from included files and kept by the job; a call works on a copy
// (Assign), substitutes the arguments (Expand) and is put in place of the call row. Messages go
// through the job's sink; generated label names come from the job's generator.
class TMacrosObject : public TWorkTableObject {
 public:
  explicit TMacrosObject(TMq71R04CompilerObject& job) : job_(&job) {}
  TMacrosObject(const TMacrosObject&) = delete;
  TMacrosObject& operator=(const TMacrosObject&) = delete;
  ~TMacrosObject() override = default;

  // Reads the definition whose ".macro " line is lines[index] and writes its dump file; the
  // ".macro " line is emptied and `index` is left at the line that ended the definition.
  // 0 = accepted, 1 = rejected. An unclosed apostrophe text in the parameters, and a dump file
  // that cannot be written, throw TranslatorError.
  int ReadDefinition(const std::string& includeName, std::vector<std::string>& lines, int& index);

  // Gives every label the body declares a generated name, and the jumps and label-address
  // commands naming it the same name. 1 when it reported an error, else 0.
  int MakeLabelsUnique();

  // A copy of the other's name, parameters, body and generated label names.
  void Assign(const TMacrosObject& other);

  // Substitutes the call's arguments for the parameters in the body; each argument goes in
  // with a blank on either side. No arguments: nothing changes. 1 when the count is wrong.
  int Expand(std::vector<std::string>& arguments, std::string_view callFile,
             std::string_view callLine);

  // Draws fresh names for the labels this body declares and puts them everywhere the
  // definition put its own, so that a macro declaring a label can be called again.
  void RenewGeneratedLabels();

  std::string Name;
  std::vector<std::string> Parameters;
  // Expansions of this definition applied so far; every one after the first gets fresh names.
  int ExpansionCount = 0;

 private:
  void ReadParameters(const std::string& parameterText, const std::string& includeName,
                      int lineIndex, bool& rejected);
  void ReadBody(const std::string& includeName, std::vector<std::string>& lines, int& index,
                bool& rejected);
  void WriteDump(const std::string& includeName);
  void ReplaceLabelPlaces(const std::vector<std::string>& newNames);

  TMq71R04CompilerObject* job_;
  // The generated names in the order drawn, and where each one stands in the body: at the
  // start of a row's text (its declaration) or at the end (a renamed operand).
  std::vector<std::string> generatedLabels_;
  std::map<std::pair<int, bool>, int> labelPlaces_;  // (row, at the end) -> generated name
};
