// What hosts and tests use to steer the programs that the platform starts
// (the suite's helper programs and their stand-ins), and what those
// stand-in programs use to learn their part. The suite itself never calls
// this.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k460 {

// Answers the helper programs give in place of a person, by program
// ("qtxssearch.exe", "qtxweb"; folder, case and ".exe" do not matter).
// Each start of the program takes the next queued answer; the program finds
// it in its environment as K460_PROGRAM_ANSWER (without one, a host's own
// K460_PROGRAM_ANSWER is passed on). What an answer means is the program's
// own: the device search takes the chosen address, "" for a cancelled
// search. Changing the machine root clears the queues.
void QueueProgramAnswers(std::u16string_view program, const std::vector<std::string>& answers);
void ClearProgramAnswers();

// Inside a stand-in program: its answer, if it was given one.
std::optional<std::string> ProgramAnswer();

// Waits, in real time, until every program the platform started has ended
// and been reaped; false when some still run after `timeoutMs`. Tests call
// it before they end, so that no program outlives the test that caused it.
bool WaitForStartedPrograms(std::uint32_t timeoutMs);

// The folder of the machine's pipe sockets (<root>/pipes).
std::filesystem::path PipeFolder();

}  // namespace k460
