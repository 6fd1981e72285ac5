#pragma once
#include "ImageMeasures.h"

#include <QString>

// The quality measures of a converted file against its source, the way a run measures them:
// the source turned upright, shrunk as the result was when the run resized it, and flattened
// onto white when the result has no transparency. NaN when either file cannot be decoded.
// Blocking: run it on the decode pool.
ImageMeasures::Measures measurePair(const QString& source, const QString& result);
