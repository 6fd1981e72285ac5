#pragma once
#include <QImage>

// Where result differs from source: each pixel's largest channel difference (alpha included)
// as a heat colour, black where equal, through violet and red to yellow and white where most
// different. Small differences are spread out, so the typical faint losses of a good
// conversion still show. A result of another size is compared as scaled to the source's size.
// Safe on any thread.
QImage differenceMap(const QImage& source, const QImage& result);
