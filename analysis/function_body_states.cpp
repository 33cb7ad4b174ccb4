// The machine's records and resets, and its states from 100 upward: the
// right-hand sides, the conditions of if and while, the clauses of for,
// switch, case, do and return, and the states that wait for a statement end.
#include "analysis/function_body_states.h"

#include "analysis/access_setters.h"
#include "reader/string_table.h"
#include "reader/token_kind.h"

namespace vandrel {
namespace {

bool IsOneOf(const std::string& t, std::initializer_list<const char*> words) {
  for (const char* w : words)
    if (t == w) return true;
  return false;
}

bool IsNumber(int kind) { return kind == kKindDecimal || kind == kKindHex; }

// States with a rule of their own for ";"; in every other state ";" ends
// the statement.
bool ListsSemicolon(int state) {
  switch (state) {
    case 10: case 11: case 12: case 17: case 31: case 70: case 77:
    case 110: case 115: case 121:
    case 410: case 420: case 425: case 426: case 430: case 435: case 440:
    case 753: case 950: case 1000:
      return true;
    default:
      return false;
  }
}

// The line after a ")" begins with "->" (no blanks skipped).
bool ArrowFollows(const LineBuffer* line) { return line && line->Rest().starts_with("->"); }

// After its leading blanks the line begins with a token that makes a
// parenthesised name an operand rather than a cast.
bool OperandFollows(const LineBuffer* line) {
  if (!line) return false;
  std::string_view rest = line->Rest();
  size_t i = rest.find_first_not_of(" \t");
  return i != std::string_view::npos && std::string_view("?&|+-").find(rest[i]) != std::string_view::npos;
}

}  // namespace

void BodyMachine::Put(const std::string& token) {
  if (index >= static_cast<int>(tokens.size())) tokens.resize(index + 1);
  tokens[index] = token;
}

const std::string& BodyMachine::At(int i) const {
  static const std::string kNone;
  return i >= 0 && i < static_cast<int>(tokens.size()) ? tokens[i] : kNone;
}

void BodyMachine::Reset() {
  index = 0;
  state = 0;
  anchor = typeStart = typeEnd = argSubAnchor = parenDepth = callDepth = braceCount = 0;
  lineIsNew = 0;
  if (files) files->FlushUsedNames();
}

void BodyMachine::Temporary() {
  SetValList(rows.temporaries.emplace_back(), tokens, typeStart, typeEnd, anchor, index - 1);
}
void BodyMachine::Read(int start, int end) { SetRValList(rows.reads.emplace_back(), tokens, start, end); }
void BodyMachine::Write(int start, int end) { SetWValList(rows.writes.emplace_back(), tokens, start, end); }
void BodyMachine::ReturnValue(int start, int end) {
  SetRetValList(rows.returnValues.emplace_back(), tokens, start, end);
}
void BodyMachine::Callee(int end) {
  SetFuncList(rows.callees.emplace_back(), tokens, anchor, end);
  std::string link = CheckCalleePage(At(anchor));
  if (files) files->page.Write(link);
}

int BodyMachine::AssignedSpanEnd() const {
  int end = index - 1;
  if (At(index) == "=" && end > anchor && (At(end) == "*" || At(end) == "/")) --end;
  return end;
}

void BodyMachine::Feed(const std::string& t, int kind) {
  if (t == ";" && !ListsSemicolon(state)) {
    Reset();
    return;
  }
  if (state < 100)
    FeedStatementStates(t, kind);
  else
    FeedExpressionStates(t, kind);
}

void BodyMachine::FeedCall(const std::string& t, int kind, int& depth, int argumentState,
                           int doneState) {
  if (t == "(") {
    ++depth;
  } else if (t == ")") {
    if (--depth == 0) {
      Callee(index);
      state = doneState;
    }
  } else if (kind == kKindOther) {
    argAnchor = index;
    argFlag = 1;
    state = argumentState;
  }
}

void BodyMachine::FeedArgument(const std::string& t, int& depth, int callState, int doneState) {
  if (t == ",") {
    Read(argAnchor, index - 1);
    argAnchor = 0;
    state = callState;
  } else if (t == "(") {
    ++depth;
  } else if (t == ")" && --depth == 0) {
    Read(argAnchor, index - 1);
    Callee(index);
    state = doneState;
  }
}

void BodyMachine::FeedSubscript(const std::string& t, int kind, int& mark, int closeState,
                                int nestedState) {
  if (kind == kKindOther) {
    mark = index;
  } else if (kind == kKindOperator || t == "]") {
    if (mark != 0) {
      Read(mark, index - 1);
      mark = 0;
    }
    if (t == "]") state = closeState;
  } else if (t == "[" && nestedState != 0) {
    state = nestedState;
  }
}

void BodyMachine::FeedExpressionStates(const std::string& t, int kind) {
  switch (state) {
    // Right-hand sides: "x = <expression>;".
    case 100:
      if (kind == kKindOther) {
        anchor = index;
        castFlag = 0;
        state = 110;
      } else if (IsNumber(kind)) {
        anchor = 0;
      } else if (t == "(") {
        ++parenDepth;
        state = 103;
      }
      break;
    case 103:  // after "(" in an expression
      if (t == ")") {
        --parenDepth;
        state = 100;
      } else if (kind == kKindOther) {
        anchor = index;
        castFlag = 1;
        state = 110;
      }
      break;
    case 110:  // a name in an expression
      if (t == "*" && castFlag == 1 && anchor == index - 1) {
        AddTypeName(At(anchor));  // "(T *)": a cast to a pointer type
        state = 103;
      } else if (kind == kKindOperator || t == ">>" || t == "<<") {
        Read(anchor, index - 1);
        state = 100;
      } else if (t == ";") {
        if (anchor != 0) Read(anchor, index - 1);
        Reset();
      } else if (t == "[") {
        subAnchor = 0;
        state = 111;
      } else if (t == "(") {
        ++parenDepth;
        anchor = index - 1;  // of a chain p->f only f is the callee
        castFlag = 0;
        state = 120;
      } else if (t == ")") {
        --parenDepth;
        if (!ArrowFollows(line)) {
          Read(anchor, index - 1);
          state = 115;
        }
      }
      break;
    case 111:
      FeedSubscript(t, kind, subAnchor, 110, 112);
      break;
    case 112:
      if (t == "]") FeedSubscript(t, kind, subAnchor, 111, 0);
      break;
    case 115:  // after ")" in an expression
      if (kind == kKindOperator) {
        state = 100;
      } else if (t == ";") {
        Reset();
      } else if (t == ")") {
        --parenDepth;
      }
      break;
    case 120:  // a call in an expression
      FeedCall(t, kind, parenDepth, 122, 121);
      break;
    case 122:  // an argument of that call
      if (kind == kKindOther) {
        if (argFlag == 1) argAnchor = index;  // p->x gives x, a + b gives b
        argFlag = 0;
      } else if (t == ".") {
        argFlag = 0;  // p.x stays one span
      } else if (t == "[") {
        argSubAnchor = 0;
        state = 125;
      } else {
        FeedArgument(t, parenDepth, 120, 121);
      }
      break;
    case 125:
      FeedSubscript(t, kind, argSubAnchor, 122, 0);
      break;
    case 121:  // after a call in an expression
      if (kind == kKindOperator) {
        state = 100;
      } else if (t == ";") {
        Reset();
      }
      break;

    // Conditions of if and while.
    case 200:
    case 300:
      if (t == "(") {
        parenDepth = 1;
        state = 201;
      }
      break;
    case 201:  // an operand expected
      if (kind == kKindOther) {
        anchor = index;
        state = 205;
      } else if (IsNumber(kind)) {
        anchor = 0;
      } else if (t == "(") {
        ++parenDepth;
      } else if (t == ")") {
        if (--parenDepth == 0) state = 210;
      }
      break;
    case 205:  // a name in a condition
      if (t == "++" || t == "--") {
        Write(anchor, index - 1);
      } else if (IsOneOf(t, {"+", "-", "*", "/", "&", "|", "<", ">", "<=", ">=", "==", "!=", "&&", "||"})) {
        Read(anchor, index - 1);
        state = 201;
      } else if (t == "[") {
        state = 206;
      } else if (t == "(") {
        ++callDepth;
        state = 207;
      } else if (t == ")") {
        if (--parenDepth == 0) {
          Read(anchor, index - 1);
          state = 210;
        } else if (At(index - 2) == "(" && !OperandFollows(line)) {
          AddTypeName(At(anchor));  // "(T)": a cast
          state = 201;
        } else {
          Read(anchor, index - 1);
          state = 209;
        }
      }
      break;
    case 206:  // a subscript inside a condition name
      if (t == "]") state = 205;
      break;
    case 207:  // a call in a condition
      FeedCall(t, kind, callDepth, 220, 208);
      break;
    case 220:  // an argument of that call
      FeedArgument(t, callDepth, 207, 208);
      break;
    case 208:  // after a call in a condition
    case 209:  // after a parenthesis in a condition
      if (state == 208 ? IsOneOf(t, {"+", "-", "*", "/", "==", "!=", "&&", "||", "&", "|"})
                       : IsOneOf(t, {"++", "--", "+", "-", "*", "/", "==", "!=", "&&", "||"})) {
        state = 201;
      } else if (t == ")") {
        if (--parenDepth == 0) state = 210;
      }
      break;
    case 210:  // after the condition: the controlled statement is skipped
      if (t == "{") Reset();
      break;

    // for: initialisation, condition and step clauses.
    case 400:
      if (t == "(") state = 410;
      break;
    case 410:
      if (kind == kKindOther) {
        anchor = index;
        state = 420;
      } else if (t == ";") {
        state = 430;
      }
      break;
    case 420:  // a name in the initialisation
      if (t == "=") {
        Write(anchor, index - 1);
        state = 425;
      } else if (t == ";") {
        state = 430;
      } else if (t == ",") {
        state = 410;
      }
      break;
    case 425:  // the initial value
      if (kind == kKindOther) {
        anchor = index;
        state = 426;
      } else if (t == ";") {
        state = 430;
      } else if (t == ",") {
        state = 410;
      }
      break;
    case 426:  // a name in the initial value
      if (t == "," || t == ";") {
        Read(anchor, index - 1);
        state = t == "," ? 410 : 430;
      } else if (t == ")" || IsOneOf(t, {"+", "-", "*", "/", ">>", "<<", "&", "|"})) {
        Read(anchor, index - 1);
        state = 425;
      }
      break;
    case 430:  // the condition
      if (kind == kKindOther) {
        anchor = index;
        state = 435;
      } else if (t == ";") {
        state = 445;
      }
      break;
    case 435:  // a name in the condition
      if (IsOneOf(t, {"<=", ">=", "==", "!=", ">", "<"})) {
        Read(anchor, index - 1);
        anchor = 0;
        state = 440;
      } else if (t == ";") {
        state = 445;
      }
      break;
    case 440:  // the operand after the comparison
      if (kind == kKindOther) {
        if (anchor == 0) anchor = index;
      } else if (t == ";") {
        if (anchor != 0) Read(anchor, index - 1);
        state = 445;
      }
      break;
    case 445:  // the step
      if (kind == kKindOther) {
        anchor = index;
        state = 450;
      } else if (t == ")") {
        state = 456;
      } else if (t == "{") {
        Reset();
      }
      break;
    case 450:  // a name in the step
      if (IsOneOf(t, {"--", "-", "++", "+", "+=", "-=", "/", "**", "*"})) {
        Write(anchor, index - 1);
        state = 455;
      } else if (t == ",") {
        state = 445;
      } else if (t == ")") {
        state = 456;
      } else if (t == "{") {
        Reset();
      }
      break;
    case 455:  // after a step expression
      if (t == ",") {
        state = 445;
      } else if (t == ")") {
        state = 456;
      } else if (t == "{") {
        Reset();
      }
      break;
    case 456:  // after the clauses: the controlled statement is skipped
      if (t == "{") Reset();
      break;

    case 500:  // do
      if (t == "{" || t == "}") Reset();
      break;

    // switch, case, default.
    case 600:
      if (t == "(") {
        state = 605;
      } else if (t == "{") {
        Reset();
      }
      break;
    case 605:
      if (kind == kKindOther) {
        anchor = index;
        state = 610;
      } else if (t == "{") {
        Reset();
      }
      break;
    case 610:  // the controlling name
      if (t == ")" || kind == kKindOperator) {
        Read(anchor, index - 1);
        state = 605;
      } else if (t == "{") {
        Reset();
      }
      break;
    case 650:
      if (t == ":") {
        Reset();
      } else if (kind == kKindOther) {
        Read(index, index);
      }
      break;

    // return.
    case 750:
      if (kind == kKindOther || IsNumber(kind)) {
        anchor = index;
        state = 753;
      } else if (t == "(") {
        state = 755;
      }
      break;
    case 753:  // "return value;": the value is the span up to ";"
      if (t == ";") {
        ReturnValue(anchor, index - 1);
        Reset();
      }
      break;
    case 755:  // "return (" ...
      if (kind == kKindOther) {
        anchor = index;
        state = 760;
      } else if (t == "(") {
        state = 756;
      }
      break;
    case 756:  // a second "(": a cast when a type follows
      if (kind == kKindQualifier || kind == kKindTypeName) state = 757;
      break;
    case 757:
      if (t == ")") state = 755;
      break;
    case 760:  // "return (name"
      if (t == ")") {
        ReturnValue(anchor, index - 1);
        state = 780;
      } else if (t == "(") {
        parenDepth = 1;
        state = 765;
      }
      break;
    case 765:  // "return (f(" ...: the call is the callee and the return value
      if (t == "(") {
        ++parenDepth;
      } else if (t == ")" && --parenDepth == 0) {
        Callee(index);
        ReturnValue(anchor, index);
        state = 780;
      }
      break;

    case 950:  // a block comment at a statement start
      if (t.find("*/") != std::string::npos) Reset();
      break;
    default:  // 780, 800, 900 wait for ";"; 1000 waits for the line end
      break;
  }
}

}  // namespace vandrel
