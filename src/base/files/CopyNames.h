#pragma once
// The names of the file-writing code of this folder: a new copy
// ".NAME.ketral-XXXXXX" beside the file NAME it will replace, a commit
// record ".NAME.ketral-commit-XXXXXX", and the directory and name of a path.
#include <string>
#include <vector>

namespace ketral {

// "." for a bare name, the separator itself for a file at the root.
std::string DirectoryOf(const std::string& file);
std::string NameOf(const std::string& file);
std::string Join(const std::string& dir, const std::string& name);

// The name of the copy of `file` (a name, no directory) with `suffix`; with
// "" the part every copy of that file starts with.
std::string CopyName(const std::string& file, const std::string& suffix);

// What stands between the file's name and the suffix in a commit record's name.
inline constexpr char kRecordMark[] = ".ketral-commit-";

// Whether `name` is a commit record's: "." + file + kRecordMark + suffix.
bool IsRecordName(const std::string& name);

// Six random letters and digits, for the name of a new copy or record.
std::string RandomSuffix();

// The file a rename must replace: a symbolic link's target, so that the link stays.
// A link to a file not made yet leads to where the file will be.
std::string RenameTarget(const std::string& path);

// The entries of `dir`; none when it cannot be read.
std::vector<std::string> NamesIn(const std::string& dir);

}  // namespace ketral
