#pragma once

#include <string>

#include "sdk/Rotator.h"
#include "sdk/Vector.h"

namespace validate {

// Numbers and vectors as failure messages show them: floats with enough digits
// to read back the exact value.
std::string Num(double value);
std::string Num(float value);
std::string Num(long value);
std::string Num(int value);
std::string Str(Vector v);
std::string Str(Vector2F v);
std::string Str(Vector2 v);
std::string Str(Rotator r);

} // namespace validate
