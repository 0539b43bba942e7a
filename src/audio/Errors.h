// The library's last error code, shared by all threads (see kaudio.h).
#pragma once

namespace kaudio {

void SetError(int code);
int LastError();

// Sets the code and returns a zero/false value of any type, for one-line failure returns.
struct Failure {
  int code;
  template <typename T>
  operator T() const {
    SetError(code);
    return T{};
  }
};
inline Failure Fail(int code) { return Failure{code}; }

}  // namespace kaudio
