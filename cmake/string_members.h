// Included before every C++ source: libstdc++'s pre-built std::string object
// survives --gc-sections whole, so its own switch (-1: no extern templates for
// basic_string only) has each object build just the members it uses.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
