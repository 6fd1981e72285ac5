#pragma once
#include <QImage>
#include <QRect>

class QPainter;

// Draws a row's thumbnail in the place of its format badge: centred in rect with rounded
// corners, and a small "animated" mark in the bottom-right corner for animated sources.
void paintThumbnail(QPainter* painter, const QRect& rect, const QImage& thumbnail, bool animated);
