#pragma once
// The system's text for an error number. Loads read portfolios and write data files on their
// workers while the window thread reads and saves portfolios too, so the text is made in the
// caller's own buffer (strerror shares one between threads).
#include <string>

// "No such file or directory".
std::string systemErrorText(int error);
