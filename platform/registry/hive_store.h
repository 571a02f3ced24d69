// The hives of the machine: one file each below <root>/registry, shared by
// every process that uses the machine root.
//
// Each process keeps the tree it last read and reads the file again only
// when the stamp in its header has changed. A change takes the hive's lock
// file (flock), reads the current tree, applies itself and writes the whole
// hive to a new file that replaces the old one by rename: readers need no
// lock and always see one complete version, and writers in different
// processes never lose each other's changes.
#pragma once

#include <filesystem>
#include <functional>

#include "platform/registry/hive_tree.h"

namespace k460::registry {

enum class Hive { ClassesRoot, CurrentUser, LocalMachine, Users };
inline constexpr int kHiveCount = 4;

// "HKEY_LOCAL_MACHINE" and so on.
const char* HiveName(Hive hive);
// <root>/registry/<name>.hive
std::filesystem::path HiveFilePath(Hive hive);

// Runs `read` on the hive's current tree. A damaged hive file answers
// ERROR_BADDB without calling it.
LONG ReadHive(Hive hive, const std::function<LONG(const Key& root)>& read);

// Runs `change` on the hive's current tree while holding the hive's lock.
// When it sets *changed and answers ERROR_SUCCESS the tree is written back
// before the lock is released (a failed write answers ERROR_CANTWRITE).
// A change that fails must leave the tree as it found it.
LONG ChangeHive(Hive hive, const std::function<LONG(Key& root, bool* changed)>& change);

// Forces the hive's file onto the disk.
LONG FlushHive(Hive hive);

}  // namespace k460::registry
