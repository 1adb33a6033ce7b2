// Chief header of the fixed-point geometry: numbers, trigonometry, points, rectangles
// and matrices.
#pragma once

#include "fundo/FixedPoint.h"
#include "fundo/GeoPoint.h"
#include "fundo/GeoRect.h"
#include "fundo/Matrix.h"
