#pragma once
// Temporal smoothing of the matte: an exponential moving average over 8-bit bytes.
#include <cstddef>
#include <cstdint>

// The history's weight k (of 256) for a "Stability" value; 0 means smoothing is off (0.01 and below,
// or NaN). Capped at 256 so that the new matte's weight 256 - k never goes negative.
int HistoryWeight( float stability );

// history[i] = (history[i] * k + matte[i] * (256 - k)) >> 8 for every byte; k from 0 to 256 (a weight
// beyond is taken as the nearer end). Allocates nothing.
void BlendMatte( uint8_t* history, const uint8_t* matte, size_t count, int k );
