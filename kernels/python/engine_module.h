// The engine routines of _sobolseq: direction words scrambled once, points of any index range.
#pragma once

#include <pybind11/pybind11.h>

void addEngineFunctions(pybind11::module_& m);
