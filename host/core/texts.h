#pragma once
// How ffglhost writes sizes, numbers and positions in what it prints, the same in every command.
#include <string>

namespace ffglhost
{
std::string SizeText( int w, int h );     // "320x180"
std::string FloatText( float value );     // "0.25", "nan", "-inf"
std::string PositionText( int x, int y ); // "(12, 40)"
}
