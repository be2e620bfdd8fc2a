// Codes a host sends before it has an instance: answered from the registration and the prototype's
// table (or, for the few that take one, the instance's).
#include "ffgl/dispatch.h"
#include "ffgl/prototype.h"
#include "ffgl/registration.h"

#include <cstring>

uint32_t PrototypeParameterType( uint32_t id )
{
	const ParameterRecord* record = PrototypeRecord( id );
	return record ? record->type : FF_FAIL;
}

ParameterElement* FindElement( CFFGLPlugin* owner, uint32_t id, uint32_t element )
{
	ParameterRecord* record = owner ? owner->FindParameter( id ) : nullptr;
	if( !record || element >= record->elements.size() )
		return nullptr;
	return &record->elements[ element ];
}

FFMixed CopyParameterText( const GetStringStruct* query, CFFGLPlugin* owner, bool group )
{
	if( !owner || !query->stringBuffer )
		return Fail();
	const ParameterRecord* record = owner->FindParameter( query->ParameterNumber );
	const std::string* text       = nullptr;
	if( record )
		text = group ? &record->group : &record->displayName;
	size_t length = text ? text->size() : 0;
	if( length > query->maxToWrite )
		length = query->maxToWrite;
	if( length > 0 )
		std::memcpy( query->stringBuffer, text->data(), length );
	return MixedFromUInt( FF_SUCCESS );
}

// The table the element queries read: the instance's when one is given, else the prototype's.
static CFFGLPlugin* ElementTableOwner( CFFGLPlugin* instance )
{
	return instance ? instance : EnsurePrototype();
}

FFMixed GetInfo()
{
	return MixedFromPointer( registration ? &registration->info : nullptr );
}

FFMixed Deinitialise()
{
	if( !registration )
		return Fail();
	delete prototype;
	prototype = nullptr;
	if( registration->deinitialiseHook )
		registration->deinitialiseHook();
	return MixedFromUInt( FF_SUCCESS );
}

FFMixed GetNumParameters()
{
	CFFGLPlugin* proto = EnsurePrototype();
	return proto ? MixedFromUInt( static_cast< uint32_t >( proto->ParameterCount() ) ) : Fail();
}

FFMixed GetParameterName( uint32_t id )
{
	const ParameterRecord* record = PrototypeRecord( id );
	return MixedFromPointer( record ? record->name.c_str() : nullptr );
}

FFMixed GetParameterDefault( uint32_t id )
{
	const ParameterRecord* record = PrototypeRecord( id );
	if( !record )
		return Fail();
	if( IsTextType( record->type ) )
		return MixedFromPointer( record->defaultText.c_str() );
	return MixedFromFloat( record->defaultValue );
}

FFMixed GetPluginCaps( uint32_t capability )
{
	CFFGLPlugin* proto = EnsurePrototype();
	if( !proto )
		return Fail();
	switch( capability )
	{
	case FF_CAP_SET_TIME:
		return MixedFromUInt( proto->timeSupported ? 1 : 0 );
	case FF_CAP_MINIMUM_INPUT_FRAMES:
		return MixedFromUInt( proto->minInputs > 0 ? static_cast< uint32_t >( proto->minInputs ) : 0 );
	case FF_CAP_MAXIMUM_INPUT_FRAMES:
		return MixedFromUInt( proto->maxInputs > 0 ? static_cast< uint32_t >( proto->maxInputs ) : 0 );
	case FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION:
		return MixedFromUInt( proto->topLeftSupported ? 1 : 0 );
	default:
		return MixedFromUInt( 0 );
	}
}

FFMixed GetExtendedInfo()
{
	return MixedFromPointer( registration ? &registration->extendedInfo : nullptr );
}

FFMixed GetParameterType( uint32_t id )
{
	return MixedFromUInt( PrototypeParameterType( id ) );
}

FFMixed GetNumParameterElements( CFFGLPlugin* instance, uint32_t id )
{
	const ParameterRecord* record = InstanceOrPrototypeRecord( instance, id );
	return record ? MixedFromUInt( static_cast< uint32_t >( record->elements.size() ) ) : Fail();
}

FFMixed GetParameterUsage( uint32_t id )
{
	const ParameterRecord* record = PrototypeRecord( id );
	return record ? MixedFromUInt( record->usage ) : Fail();
}

FFMixed GetPluginShortName()
{
	CFFGLPlugin* proto = EnsurePrototype();
	return MixedFromPointer( proto ? proto->GetShortName() : nullptr );
}

FFMixed GetParameterElementName( CFFGLPlugin* instance, const ParameterElementStruct* query )
{
	if( !query )
		return MixedFromPointer( nullptr );
	ParameterElement* element =
	    FindElement( ElementTableOwner( instance ), query->ParameterNumber, query->ElementNumber );
	return MixedFromPointer( element ? element->name.c_str() : nullptr );
}

FFMixed GetParameterElementValue( CFFGLPlugin* instance, const ParameterElementStruct* query )
{
	if( !query )
		return Fail();
	ParameterElement* element =
	    FindElement( ElementTableOwner( instance ), query->ParameterNumber, query->ElementNumber );
	return element ? MixedFromFloat( element->value ) : Fail();
}

FFMixed GetRange( GetRangeStruct* range )
{
	// Without a prototype nothing is written; without a record, the standard range.
	if( !range || !EnsurePrototype() )
		return Fail();
	const ParameterRecord* record = PrototypeRecord( range->ParameterNumber );
	range->min                    = record ? record->range.min : 0.f;
	range->max                    = record ? record->range.max : 1.f;
	return MixedFromUInt( FF_SUCCESS );
}

FFMixed GetThumbnail( GetThumbnailStruct* thumbnail )
{
	if( thumbnail )
	{
		thumbnail->width  = 0;
		thumbnail->height = 0;
	}
	return Fail();
}

FFMixed GetNumFileParameterExtensions( uint32_t id )
{
	if( !EnsurePrototype() )
		return Fail();
	const ParameterRecord* record = PrototypeRecord( id );
	return MixedFromUInt( record ? static_cast< uint32_t >( record->fileExtensions.size() ) : 0 );
}

FFMixed GetFileParameterExtension( const ParameterElementStruct* query )
{
	if( !query )
		return MixedFromPointer( nullptr );
	const ParameterRecord* record = PrototypeRecord( query->ParameterNumber );
	if( !record || query->ElementNumber >= record->fileExtensions.size() )
		return MixedFromPointer( nullptr );
	return MixedFromPointer( record->fileExtensions[ query->ElementNumber ].c_str() );
}

FFMixed GetParameterVisibility( CFFGLPlugin* instance, uint32_t id )
{
	const ParameterRecord* record = InstanceOrPrototypeRecord( instance, id );
	return record ? MixedFromUInt( record->visible ? 1 : 0 ) : Fail();
}

FFMixed GetNumElementSeparators( uint32_t id )
{
	const ParameterRecord* record = PrototypeRecord( id );
	return MixedFromUInt( record ? static_cast< uint32_t >( record->elementSeparators.size() ) : 0 );
}

FFMixed GetSeparatorElementIndex( const ParameterElementStruct* query )
{
	if( !query )
		return Fail();
	const ParameterRecord* record = PrototypeRecord( query->ParameterNumber );
	if( !record || query->ElementNumber >= record->elementSeparators.size() )
		return Fail();
	return MixedFromUInt( static_cast< uint32_t >( record->elementSeparators[ query->ElementNumber ] ) );
}

FFMixed GetParameterGroup( const GetStringStruct* query )
{
	if( !query || query->maxToWrite == 0 )
		return Fail();
	return CopyParameterText( query, EnsurePrototype(), true );
}
