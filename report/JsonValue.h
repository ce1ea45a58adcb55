#pragma once
// A small JSON reader for the files people write by hand (a policy): every value keeps the
// line it starts on, so a mistake can be named by its line.

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

struct TJsonMember;

struct TJsonValue {
    enum TKind { jkNull, jkBool, jkNumber, jkString, jkArray, jkObject };
    TKind Kind = jkNull;
    int Line = 1;
    bool Bool = false;
    double Number = 0;
    std::string String;
    std::vector<TJsonValue> Items; // an array's
    // An object's, in order. Members of a type still being declared: a vector may hold one,
    // a pair may not (some compilers refuse it).
    std::vector<TJsonMember> Members;
};

struct TJsonMember {
    std::string Name;
    TJsonValue Value;
};

// A text that is not JSON: the line where reading stopped, and why.
class TJsonError : public std::runtime_error {
  public:
    TJsonError(int line, const std::string& reason) : std::runtime_error(reason), Line(line) {}
    int Line;
};

// Reads one JSON value filling the whole text; throws TJsonError.
TJsonValue ParseJson(const std::string& text);
// The name of a value's kind for messages: "an object", "a number", ...
const char* JsonKindName(TJsonValue::TKind kind);
