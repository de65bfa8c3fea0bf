// SPDX-License-Identifier: GPL-3.0-or-later
// Arithmetic faults inside a computation.
//
// A division by zero, an invalid operation (0/0, the square root of a negative
// number, inf - inf, ...) or an overflow to infinity ends the computation in
// which it happens: nothing after it is stored or written, and what was
// written before stays. The floating-point status flags record such a fault
// wherever it happens, also inside a library function or in an intermediate
// that a later step would turn back into a finite number (x / inf), so every
// step checks them before it stores or writes anything.
#pragma once

namespace quenlor {

// Thrown to end the computation that met the fault; the form catches it at the
// boundary of that one computation.
struct ArithmeticFault {};

// Forgets earlier faults: called where a computation starts.
void clearFaults();

// Throws ArithmeticFault when a fault has happened since clearFaults().
void checkFaults();

// Stores one step's result: checks for a fault first, so that the step that
// met one stores nothing. A value too large to be written as a number text
// counts as an overflow. Out of line on purpose: the value is computed before
// the call, so the check cannot run ahead of the arithmetic.
void store(double& member, double value);

} // namespace quenlor
