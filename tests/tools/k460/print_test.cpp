// k460 print as a person runs it: a fresh machine, a document, the PCL XL
// driver, the job in a file, read back with the PCL XL reader; and the exit
// codes and messages of bad documents and options.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/machine_fixture.h"
#include "tests/support/run_program.h"
#include "tools/pclxl_reader/pclxl_reader.h"

namespace {

namespace pclxl = k460::pclxl;

using CommandRun = k460::testing::ProgramRun;

class PrintCommandTest : public k460::testing::MachineTest {
 protected:
  CommandRun K460(const std::string& arguments) {
    return k460::testing::RunProgram(std::string(K460_BIN_DIR) + "/k460 --root '" + root().string() + "' " + arguments);
  }
  std::string Sample(const std::string& name) { return std::string(K460_SOURCE_DIR) + "/samples/" + name; }
  std::string Output() { return (root() / "job.prn").string(); }
  pclxl::Job ReadJob() { return pclxl::ParseJob(ReadHostFile(Output())); }
};

// The PJL lines of a job, and how often an operator occurs.
std::vector<std::string> PjlLines(const pclxl::Job& job) {
  std::vector<std::string> lines;
  for (const auto& item : job.items)
    if (auto* pjl = std::get_if<pclxl::PjlLine>(&item)) lines.push_back(pjl->text);
  return lines;
}

int Count(const pclxl::Job& job, std::string_view name) {
  int n = 0;
  for (const auto& item : job.items)
    if (auto* op = std::get_if<pclxl::Operator>(&item); op && pclxl::OperatorName(op->code) == name) ++n;
  return n;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& text) {
  for (const auto& l : lines)
    if (l == text) return true;
  return false;
}

TEST_F(PrintCommandTest, EveryKindOfDocumentBecomesACompletePclXlJob) {
  struct Case {
    std::string file;
    int pages;
  };
  const Case cases[] = {{"sample.k460", 2}, {"sample.png", 1}, {"ramp.pgm", 1}, {"sample.pdf", 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    CommandRun run = K460("print -q --driver xlgraph --output " + Output() + " " + Sample(c.file));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    pclxl::Job job = ReadJob();
    ASSERT_FALSE(job.error) << pclxl::FormatError(*job.error);
    EXPECT_EQ(Count(job, "BeginSession"), 1);
    EXPECT_EQ(Count(job, "BeginPage"), c.pages);
    EXPECT_EQ(Count(job, "EndPage"), c.pages);
    EXPECT_EQ(Count(job, "EndSession"), 1);
    EXPECT_TRUE(HasLine(PjlLines(job), "@PJL ENTER LANGUAGE=PCLXL"));
  }
}

TEST_F(PrintCommandTest, OptionsReachTheJobHeader) {
  struct Case {
    std::string options;
    std::string pjl;
  };
  const Case cases[] = {
      {"-n 3", "@PJL SET COPIES = 3"},
      {"-o media=Letter", "@PJL SET PAPER = LETTER"},
      {"-o media=A4", "@PJL SET PAPER = A4"},
      {"-o toner-save=true", "@PJL SET ECONOMODE = ON"},
      {"-o resolution=300dpi", "@PJL SET RESOLUTION = 300"},
      {"-o print-quality=draft", "@PJL SET RESOLUTION = 300"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    CommandRun run = K460("print -q --driver xlgraph --output " + Output() + " " + c.options + " " + Sample("sample.k460"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    auto lines = PjlLines(ReadJob());
    EXPECT_TRUE(HasLine(lines, c.pjl)) << run.output;
  }
}

TEST_F(PrintCommandTest, BadInputIsAClearErrorAndSendsNothing) {
  std::ofstream(root() / "bad.k460") << "page\nrectnagle 1 2 3 4\n";
  struct Case {
    std::string arguments;
    int exitCode;
    std::string message;
  };
  const Case cases[] = {
      {(root() / "bad.k460").string(), 2, "bad.k460:2:"},
      {(root() / "missing.k460").string(), 2, "missing.k460"},
      {"-o colour=red " + Sample("sample.k460"), 2, "colour"},
      {"-o number-up=3 " + Sample("sample.k460"), 2, "number-up"},
      {"--printer 'No Such Printer' " + Sample("sample.k460"), 2, "No Such Printer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    CommandRun run = K460("print -q --output " + Output() + " " + c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(Output()));
  }
}

}  // namespace

namespace {

// `k460 dump` of a page stream: one line a page with its fields and "black=N".
std::vector<long> BlackPixelsPerPage(const std::string& dump) {
  std::vector<long> black;
  std::istringstream lines(dump);
  std::string line;
  while (std::getline(lines, line)) {
    auto at = line.find(" black=");
    if (line.rfind("page ", 0) == 0 && at != std::string::npos) black.push_back(std::stol(line.substr(at + 7)));
  }
  return black;
}

TEST_F(PrintCommandTest, HostBasedDriverWritesOneSheetPerPageWithWhatWasDrawn) {
  struct Case {
    std::string file;
    std::size_t sheets;
  };
  const Case cases[] = {{"sample.k460", 2}, {"sample.png", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    CommandRun run = K460("print -q --driver hbgraph --output " + Output() + " " + Sample(c.file));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    CommandRun dump = K460("dump " + Output());
    ASSERT_EQ(dump.exitCode, 0) << dump.output;
    auto black = BlackPixelsPerPage(dump.output);
    ASSERT_EQ(black.size(), c.sheets) << dump.output;
    for (long b : black) EXPECT_GT(b, 10000);  // the page's drawing reached the sheet
  }
}

}  // namespace
