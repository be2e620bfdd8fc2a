#include "host/core/plugin_info.h"

#include <cstring>

namespace ffglhost
{
// Longest text we read through a pointer a plug-in hands out.
const size_t kMaxText = 4096;
// Plug-ins report more parameters than this only by mistake.
const uint32_t kMaxParameters = 1024;

std::string BoundedText( const char* text, size_t limit )
{
	if( !text )
		return std::string();
	size_t n = 0;
	while( n < limit && text[ n ] )
		++n;
	return std::string( text, n );
}

static float FloatFromBits( uint32_t bits )
{
	float value;
	std::memcpy( &value, &bits, sizeof( value ) );
	return value;
}

bool DescribePlugin( const PluginLibrary& library, PluginDescription* d, std::string* error )
{
	*d           = PluginDescription();
	FFMixed info = library.Call( FF_GET_INFO, 0u );
	if( IsValidPointer( info ) )
	{
		const PluginInfoStruct* block = static_cast< const PluginInfoStruct* >( info.PointerValue );
		d->identifier                 = BoundedText( block->PluginUniqueID, sizeof( block->PluginUniqueID ) );
		d->name                       = BoundedText( block->PluginName, sizeof( block->PluginName ) );
		d->apiMajor                   = block->APIMajorVersion;
		d->apiMinor                   = block->APIMinorVersion;
		d->type                       = block->PluginType;
	}
	FFMixed extended = library.Call( FF_GET_EXTENDED_INFO, 0u );
	if( IsValidPointer( extended ) )
	{
		const PluginExtendedInfoStruct* block = static_cast< const PluginExtendedInfoStruct* >( extended.PointerValue );
		d->hasExtendedInfo                    = true;
		d->versionMajor                       = block->PluginMajorVersion;
		d->versionMinor                       = block->PluginMinorVersion;
		d->description                        = BoundedText( block->Description, kMaxText );
		d->about                              = BoundedText( block->About, kMaxText );
	}
	d->setTime   = library.Call( FF_GET_PLUGIN_CAPS, FF_CAP_SET_TIME ).UIntValue == 1;
	d->minInputs = library.Call( FF_GET_PLUGIN_CAPS, FF_CAP_MINIMUM_INPUT_FRAMES ).UIntValue;
	d->maxInputs = library.Call( FF_GET_PLUGIN_CAPS, FF_CAP_MAXIMUM_INPUT_FRAMES ).UIntValue;
	d->topLeft   = library.Call( FF_GET_PLUGIN_CAPS, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ).UIntValue == 1;
	if( d->minInputs == FF_FAIL )
		d->minInputs = 0;
	if( d->maxInputs == FF_FAIL )
		d->maxInputs = 0;

	const uint32_t count = library.Call( FF_GET_NUM_PARAMETERS, 0u ).UIntValue;
	if( count == FF_FAIL || count > kMaxParameters )
	{
		*error = library.Path() + " does not say how many parameters it has (FF_GET_NUM_PARAMETERS failed)";
		return false;
	}
	for( uint32_t i = 0; i < count; ++i )
	{
		ParameterDescription p;
		p.index      = i;
		FFMixed name = library.Call( FF_GET_PARAMETER_NAME, i );
		p.name = IsValidPointer( name ) ? BoundedText( static_cast< const char* >( name.PointerValue ), kMaxText ) : "";
		const uint32_t type = library.Call( FF_GET_PARAMETER_TYPE, i ).UIntValue;
		p.typeKnown         = type != FF_FAIL;
		p.type              = p.typeKnown ? type : 0;
		FFMixed value       = library.Call( FF_GET_PARAMETER_DEFAULT, i );
		if( p.typeKnown && IsTextType( p.type ) )
			p.defaultText = IsValidPointer( value )
			                    ? BoundedText( static_cast< const char* >( value.PointerValue ), kMaxText )
			                    : "";
		else if( value.UIntValue != FF_FAIL )
			p.defaultValue = FloatFromBits( value.UIntValue );
		GetRangeStruct range = { i, 0.f, 1.f };
		if( library.Call( FF_GET_RANGE, MixedPointer( &range ) ).UIntValue == FF_SUCCESS )
		{
			p.hasRange = true;
			p.min      = range.min;
			p.max      = range.max;
		}
		d->parameters.push_back( p );
	}
	return true;
}

std::string ParameterTypeName( uint32_t type )
{
	switch( type )
	{
	case FF_TYPE_BOOLEAN:
		return "boolean";
	case FF_TYPE_STANDARD:
		return "standard";
	case FF_TYPE_FILE:
		return "file";
	case FF_TYPE_TEXT:
		return "text";
	default:
		return "type " + std::to_string( type );
	}
}

std::string PluginTypeName( uint32_t type )
{
	switch( type )
	{
	case 0:
		return "effect";
	case 1:
		return "source";
	case 2:
		return "mixer";
	default:
		return "type " + std::to_string( type );
	}
}

const ParameterDescription* FindParameter( const PluginDescription& description, const std::string& name )
{
	for( const ParameterDescription& p : description.parameters )
		if( p.name == name )
			return &p;
	return nullptr;
}

std::string ParameterNameList( const PluginDescription& description )
{
	std::string list;
	for( const ParameterDescription& p : description.parameters )
	{
		if( !list.empty() )
			list += ", ";
		list += "\"" + p.name + "\"";
	}
	return list.empty() ? std::string( "(none)" ) : list;
}
}
