#include "host/core/texts.h"

#include <cstdio>

namespace ffglhost
{
std::string SizeText( int w, int h )
{
	return std::to_string( w ) + "x" + std::to_string( h );
}

std::string FloatText( float value )
{
	char text[ 32 ];
	std::snprintf( text, sizeof( text ), "%g", static_cast< double >( value ) );
	return text;
}

std::string PositionText( int x, int y )
{
	return "(" + std::to_string( x ) + ", " + std::to_string( y ) + ")";
}
}
