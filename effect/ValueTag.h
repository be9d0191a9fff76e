#pragma once

// The indices of the effect-to-editor setParameter path. 0 to 5 are the parameters themselves;
// the rest is the display feed that processing sends from the audio thread.
enum ValueTag : int {
  kTagPreDelay = 0,
  kTagExpression = 1,
  kTagWide = 2,
  kTagDry = 3,
  kTagWet = 4,
  kTagMix = 5,
  kTagPeakLeft = 7,      // block end, second: the left peak follower, 0 or more
  kTagPeakRight = 8,     // block end, third: the right peak follower, 0 or more
  kTagCorrelation = 9,   // block end, first: (r + 1) / 2 of the block's left/right correlation r
  kTagClearPoints = 10,  // block start: the goniometer forgets its points
  kTagShowPoints = 11,   // block end, last: the goniometer shows its points
  kTagPointSide = 12,    // every sample, first: (clamp(L - R, -2, 2) + 2) / 4
  kTagPointMid = 13,     // every sample, second: (clamp(L + R, -2, 2) + 2) / 4, plots the point
};
