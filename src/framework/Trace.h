#pragma once

// Entry trace called first by every member function of the module. It records
// nothing unless the environment variable TAVEL_TRACE names a file, in which case
// one line per call (file, line, qualified name) is appended to it.
void ExceptionHelperFunction(const char* sourceFile, int line, const char* qualifiedName, int flag);

// Shorthand used at the top of member functions.
#define TVL_TRACE(name) ExceptionHelperFunction(__FILE__, __LINE__, name, 0)
