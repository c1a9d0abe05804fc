#include "passes/Multipledeclarations.h"

#include <gtest/gtest.h>

#include <random>

#include "passes/Passtestsupport.h"

namespace {

TWorkTableObject TableWithLabels(const std::vector<std::string>& labels) {
  TWorkTableObject table;
  for (size_t r = 0; r < labels.size(); ++r) {
    table.AddRow("f", std::to_string(r), "", "", "", "", labels[r], "");
  }
  return table;
}

struct Outcome {
  std::vector<std::string> labels;
  std::string messages;
  bool reported;
};

Outcome RunStage(const std::vector<std::string>& labelColumn) {
  TMq71R04CompilerObject job;
  *job.WorkTable = TableWithLabels(labelColumn);
  const std::vector<LabelDeclaration> declarations = CollectLabelDeclarations(*job.WorkTable);
  const bool reported = RemoveMultipleDeclarations(job, declarations);
  return {ColumnOf(*job.WorkTable, ColLabels), job.Out.Captured(), reported};
}

bool Carries(const std::string& labels, const std::string& name) {
  return labels.rfind(name + ":", 0) == 0 || labels.find(":" + name + ":") != std::string::npos;
}

// A literal version on the texts themselves: for every entry, search the first carrier from
// row 0, then edit every later carrier.
Outcome LiteralStage(std::vector<std::string> labels) {
  std::vector<std::string> entryNames;
  for (const std::string& row : labels) {
    std::string rest = row;
    for (size_t colon = rest.find(':'); colon != std::string::npos; colon = rest.find(':')) {
      const std::string declared = rest.substr(0, colon);
      entryNames.push_back(declared.substr(0, declared.find('=')));
      rest.erase(0, colon + 1);
    }
  }
  OutputSink out;
  bool reported = false;
  for (const std::string& n : entryNames) {
    size_t first = 0;
    while (first < labels.size() && !Carries(labels[first], n)) ++first;
    for (size_t l = first + 1; l < labels.size(); ++l) {
      if (!Carries(labels[l], n)) continue;
      out.WriteLine("[compiler error] f(" + std::to_string(l) +
                    ") Multiple declaration for label \"" + n + "\"");
      if (labels[l].rfind(n + ":", 0) == 0) {
        labels[l].erase(0, n.size() + 1);
      } else {
        labels[l].erase(labels[l].find(":" + n + ":") + 1, n.size() + 1);
      }
      reported = true;
    }
  }
  return {labels, out.Captured(), reported};
}

TEST(MultipleDeclarations, AgreesWithTheLiteralVersionOnRandomTables) {
  const std::vector<std::string> names = {"a", "b", "A", "", "a=b", "ab"};
  std::mt19937 random(2024);
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<std::string> column;
    const int rows = static_cast<int>(random() % 7);
    for (int r = 0; r < rows; ++r) {
      std::string labels;
      for (int k = static_cast<int>(random() % 4); k > 0; --k) {
        labels += names[random() % names.size()] + ":";
      }
      if (random() % 8 == 0) labels += "tail";
      column.push_back(labels);
    }
    const Outcome expected = LiteralStage(column);
    const Outcome actual = RunStage(column);
    ASSERT_EQ(actual.labels, expected.labels) << "trial " << trial;
    ASSERT_EQ(actual.messages, expected.messages) << "trial " << trial;
    ASSERT_EQ(actual.reported, expected.reported) << "trial " << trial;
  }
}

TEST(MultipleDeclarations, EmptyNameIsALabelToo) {
  const Outcome outcome = RunStage({":", "x::"});
  EXPECT_EQ(outcome.messages, "[compiler error] f(1) Multiple declaration for label \"\"\r\n");
  EXPECT_EQ(outcome.labels, (std::vector<std::string>{":", "x:"}));
}

TEST(MultipleDeclarations, ManyCopiesOfOneNameStayFast) {
  // 20,000 rows declaring one name: 19,999 messages, one walk each over what is left.
  std::vector<std::string> column(20000, "same:");
  const Outcome outcome = RunStage(column);
  EXPECT_EQ(MessageLines(outcome.messages).size(), 19999u);
  EXPECT_EQ(outcome.labels[0], "same:");
  EXPECT_EQ(outcome.labels[19999], "");
}

}  // namespace
