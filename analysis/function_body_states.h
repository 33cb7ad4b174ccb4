// The statement machine of the function body analysis. Every body token is
// fed to one state machine whose state tells what kind of statement is being
// read and which part of it; records are spans of the statement's tokens.
//
//   0          statement start          10-19   declarations, local structs
//   25-42      "(", "++", "*" starts    70-82   statements that begin with a name
//   100-125    right-hand sides         200-220 if and while conditions
//   400-456    for clauses              500     do
//   600-650    switch, case, default    750-780 return
//   800, 900   wait for ";"             950     block comment   1000  "#" line
#pragma once

#include <string>
#include <vector>

#include "analysis/function_outputs.h"
#include "reader/lexer.h"

namespace vandrel {

struct BodyMachine {
  // The statement's tokens from slot 0; grown as needed, never shrunk, so a
  // mark always names a slot that exists.
  std::vector<std::string> tokens;
  int index = 0;  // slot of the current token
  int state = 0;

  // Marks.
  int anchor = 0;        // slot of the name being collected
  int typeStart = 0;     // a declaration's type tokens
  int typeEnd = 0;
  int subAnchor = 0;     // name inside a subscript
  int argAnchor = 0;     // argument of a call
  int argSubAnchor = 0;  // name inside a subscript of an argument
  int parenDepth = 0;
  int callDepth = 0;     // a call inside a condition
  int braceCount = 0;    // braces of a local struct or union body
  int structKind = 0;    // 1 struct, 2 union
  int castFlag = 0;      // the name came right after "(" in an expression
  int argFlag = 0;       // the next name moves the argument anchor
  int lineIsNew = 0;     // the line counts as valid at its first counted token

  ResultRows rows;
  FunctionFiles* files = nullptr;   // page links and SOURCE2 lines
  const LineBuffer* line = nullptr; // the rest of the line, for look-ahead

  // Stores the current token in its slot.
  void Put(const std::string& token);
  // Slot i, or "" outside the array.
  const std::string& At(int i) const;

  void Reset();
  void Feed(const std::string& token, int kind);

  // Records; spans are slots start..end.
  void Temporary();
  void Read(int start, int end);
  void Write(int start, int end);
  void Callee(int end);  // anchor..end, then the callee page check
  void ReturnValue(int start, int end);

 private:
  void FeedStatementStates(const std::string& t, int kind);   // states below 100
  void FeedExpressionStates(const std::string& t, int kind);  // states 100 and above
  // A call "name(": its parentheses move `depth`; the ")" that brings it to
  // 0 records the callee. A name starts an argument.
  void FeedCall(const std::string& t, int kind, int& depth, int argumentState, int doneState);
  // An argument: read at "," and at the call's closing ")".
  void FeedArgument(const std::string& t, int& depth, int callState, int doneState);
  // Inside brackets: a name is read at the next operator or at "]".
  void FeedSubscript(const std::string& t, int kind, int& mark, int closeState, int nestedState);
  // End of the span written by an assignment: "*" "=" and "/" "=" are one
  // compound assignment, so the operator is not part of the name.
  int AssignedSpanEnd() const;
};

}  // namespace vandrel
