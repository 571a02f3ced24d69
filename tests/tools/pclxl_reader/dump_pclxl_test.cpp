// `k460 dump` recognises a PCL XL job, prints it line by line and fails on
// a malformed one with the offset on its error output.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/machine_fixture.h"
#include "tests/support/run_program.h"

namespace {

using namespace std::string_literals;


class DumpPclXl : public k460::testing::MachineTest {
 protected:
  std::string Dump(const std::string& bytes, int& exitCode) {
    auto file = root() / "job.prn";
    std::ofstream(file, std::ios::binary) << bytes;
    auto r = k460::testing::RunProgram(std::string(K460_BIN_DIR) + "/k460 --root " + root().string() + " dump " +
                                       file.string());
    exitCode = r.exitCode;
    return r.output;
  }
};

const std::string kJob = "\x1B%-12345X@PJL SET COPIES = 1\r\n@PJL ENTER LANGUAGE=PCLXL\n"
                         ") HP-PCL XL;2;0;Comment\n"
                         "\xC0\x01\xF8\x31\x44"  "\xB1\xFA\x02\x00\x00\x00" "ab"s;

TEST_F(DumpPclXl, PrintsOneLinePerPjlLineAndOperator) {
  int exitCode = 0;
  std::string out = Dump(kJob, exitCode);
  EXPECT_EQ(exitCode, 0) << out;
  EXPECT_EQ(out,
            "       0  UEL\n"
            "       9  PJL @PJL SET COPIES = 1\n"
            "      30  PJL @PJL ENTER LANGUAGE=PCLXL\n"
            "      56  HEADER ) HP-PCL XL class 2.0 comment \"Comment\"\n"
            "      84  EndPage PageCopies=ubyte(1)\n"
            "      85  ReadImage data[2]\n");
}

TEST_F(DumpPclXl, FailsOnAMalformedJobWithTheOffset) {
  int exitCode = 0;
  std::string out = Dump(kJob.substr(0, kJob.size() - 1), exitCode);
  EXPECT_EQ(exitCode, 1);
  EXPECT_NE(out.find("malformed PCL XL job at byte 86: data length past the end"), std::string::npos) << out;
}

}  // namespace
