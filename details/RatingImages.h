// The pictures of a risk rating: picture n (1-11) stands for ratings around
// (n - 1) * 10, from a short green bar to a full red one. One list serves every
// window that shows a rating.
#pragma once
#include "ImageList.h"

ui::ImageList& RatingImgList();

// The picture (1-11) of a rating 0-100: the rating over ten plus one, halves to even.
int RatingPictureOf(int rating);
