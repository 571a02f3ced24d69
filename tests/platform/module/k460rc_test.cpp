// The resource compiler run as the build runs it: errors name file:line and
// end with a non-zero status without writing output; a good script lists
// every file it read as a dependency.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/support/machine_fixture.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;
using CompilerTest = k460::testing::MachineTest;

struct CompilerRun {
  int status;
  std::string output;
};

CompilerRun Compile(const fs::path& script, const fs::path& output, const std::string& extra = "") {
  std::string command = std::string("'") + K460RC_PROGRAM + "' -o '" + output.string() + "' " + extra + " '" +
                        script.string() + "'";
  auto run = k460::testing::RunProgram(command);
  return {run.exitCode, run.output};
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST_F(CompilerTest, MalformedScriptsAreRefusedWithFileAndLine) {
  struct Case {
    const char* what;
    std::string script;
    std::string where;    // expected "file:line:" prefix of the message
    std::string message;  // expected part of the message
  } cases[] = {
      {"unterminated string", "STRINGTABLE\nBEGIN\n  1 \"abc\nEND\n", "bad.rc:3:", "unterminated string"},
      {"missing END", "STRINGTABLE BEGIN\n  1 \"a\"\n", "bad.rc:1:", "STRINGTABLE has no END"},
      {"string twice", "STRINGTABLE {\n 1 \"a\"\n 1 \"b\"\n}\n", "bad.rc:3:", "already defined at"},
      {"unknown escape", "STRINGTABLE {\n 1 \"a\\q\"\n}\n", "bad.rc:2:", "unknown escape sequence \\q"},
      {"string number too big", "STRINGTABLE {\n 70000 \"a\"\n}\n", "bad.rc:2:", "out of range"},
      {"missing data file", "\n1 258 \"nope.bin\"\n", "bad.rc:2:", "cannot read data file"},
      {"dialog template", "100 DIALOGEX 0, 0, 100, 50\n", "bad.rc:1:", "DIALOGEX resources are not supported yet"},
      {"undefined name", "LANGUAGE LANG_KLINGON, 1\n", "bad.rc:1:", "'LANG_KLINGON' is not defined"},
      {"language out of range", "LANGUAGE 0x400, 0\n", "bad.rc:1:", "primary language 1024 is out of range"},
      {"resource number out of range", "70000 RCDATA { 1 }\n", "bad.rc:1:", "resource number 70000 is out of range"},
      {"word too wide", "1 RCDATA {\n  1,\n  70000\n}\n", "bad.rc:3:", "does not fit in 16 bits"},
      {"missing comma", "1 RCDATA { 1 2 }\n", "bad.rc:1:", "expected ',' or END"},
      {"block without END", "1 RCDATA {\n  1,\n", "bad.rc:1:", "block has no END"},
      {"strings as type 6", "1 6 { 1 }\n", "bad.rc:1:", "STRINGTABLE"},
      {"resource twice", "1 RCDATA { 1 }\n\n1 RCDATA { 2 }\n", "bad.rc:3:", "already defined at"},
      {"not UTF-8", "// ok\n// \xff\n", "bad.rc:2:", "not valid UTF-8"},
      {"not a bitmap", "1 BITMAP \"bad.rc\"\n", "bad.rc:1:", "is not a BMP file"},
      {"missing include", "\n#include \"missing.h\"\n", "bad.rc:2:", "cannot open"},
      {"open conditional", "#ifdef RC_INVOKED\n1 RCDATA { 1 }\n", "bad.rc:1:", "without #endif"},
      {"no type", "1\n", "bad.rc:2:", "expected the type of resource 1"},
      {"macro defined by itself", "#define A A\nA RCDATA { 1 }\n", "bad.rc:1:11:", "'A' refers to itself"},
      {"macro the compiler cannot read", "#define MASK (1 << 4)\n#define OK 3\nOK RCDATA { MASK }\n", "bad.rc:1:",
       "unexpected character '<'"},
  };
  for (const auto& c : cases) {
    fs::path script = root() / "bad.rc", output = root() / "out.cpp";
    WriteText(script, c.script);
    CompilerRun run = Compile(script, output);
    EXPECT_EQ(run.status, 1) << c.what << "\n" << run.output;
    EXPECT_NE(run.output.find(c.where), std::string::npos) << c.what << "\n" << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.what << "\n" << run.output;
    EXPECT_FALSE(fs::exists(output)) << c.what;
  }
}

TEST_F(CompilerTest, ErrorsInIncludedFilesNameThatFile) {
  WriteText(root() / "ids.h", "#pragma once\n#error stop here\n");
  WriteText(root() / "bad.rc", "#include \"ids.h\"\n");
  CompilerRun run = Compile(root() / "bad.rc", root() / "out.cpp");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("ids.h:2:1: error: #error stop here"), std::string::npos) << run.output;
}

TEST_F(CompilerTest, UsageErrorsExitWithStatusTwo) {
  EXPECT_EQ(k460::testing::RunProgram(std::string("'") + K460RC_PROGRAM + "'").exitCode, 2);
}

TEST_F(CompilerTest, TheDependencyFileListsEveryFileRead) {
  fs::create_directories(root() / "res");
  WriteText(root() / "res" / "ids.h", "#ifndef IDS_H\n#define IDS_H\nint NotForTheCompiler();\n#define IDR_BLOB 5\n#endif\n");
  WriteText(root() / "res" / "blob.bin", "blob");
  WriteText(root() / "good.rc", "#include \"res/ids.h\"\nIDR_BLOB RCDATA \"res\\\\blob.bin\"\n");
  CompilerRun run = Compile(root() / "good.rc", root() / "out.cpp", "--depfile '" + (root() / "out.d").string() + "'");
  ASSERT_EQ(run.status, 0) << run.output;
  std::ifstream in(root() / "out.d");
  std::string depfile((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (auto file : {root() / "out.cpp", root() / "good.rc", root() / "res" / "ids.h", root() / "res" / "blob.bin"})
    EXPECT_NE(depfile.find(file.string()), std::string::npos) << file << "\n" << depfile;
  std::ifstream source(root() / "out.cpp");
  std::string text((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("{nullptr, 10}, {nullptr, 5}"), std::string::npos) << text;
  EXPECT_NE(text.find("0x62,0x6C,0x6F,0x62,"), std::string::npos) << text;
}

}  // namespace
