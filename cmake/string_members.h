// Included before every C++ source. libstdc++ ships std::string's members as
// one pre-built object whose unwind tables keep all of it past --gc-sections;
// its own switch (-1: no extern templates for basic_string only) makes each
// object build just the members it uses.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
