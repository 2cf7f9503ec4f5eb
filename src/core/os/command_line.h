#pragma once
// The program's own command line as the program holds text: its arguments
// in UTF-8, and standard output and error that pass bytes as written.
#include <string>
#include <vector>

namespace bladeway {

// The arguments after the program's name, in UTF-8. On Windows they are read
// again from the system's UTF-16 command line: main's own are in the ANSI
// code page, which loses every character outside it.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Standard output and error write the bytes they are given: on Windows no CR
// is put before each LF.
void WriteOutputAsBytes();

}  // namespace bladeway
