// The display text of a parameter, and the one 16-byte buffer every instance formats it into.
#include "ffgl/plugin.h"

#include <cstdio>
#include <cstring>

static char displayBuffer[ 16 ];

char* CFFGLPlugin::GetParameterDisplay( uint32_t index )
{
	// Only instantiated objects have self set; anything else answers for itself.
	CFFGLPlugin* target           = self ? self : this;
	const ParameterRecord* record = target->FindParameter( index );
	if( !record || record->type == FF_FAIL )
		return nullptr;
	if( record->type == FF_TYPE_TEXT || record->type == FF_TYPE_FILE )
		return target->GetTextParameter( index );

	// Room for the longest "%f" of any float (39 digits, sign, point, six decimals).
	char text[ 64 ];
	std::snprintf( text, sizeof( text ), "%f", static_cast< double >( target->GetFloatParameter( index ) ) );
	size_t length = std::strlen( text );
	// Hosts read exactly 16 bytes: a 16-character text fills it with no terminator.
	std::memset( displayBuffer, 0, sizeof( displayBuffer ) );
	std::memcpy( displayBuffer, text, length < sizeof( displayBuffer ) ? length : sizeof( displayBuffer ) );
	return displayBuffer;
}
