// plugMain: the dispatch by function code. Global queries answer from the registration and the
// prototype's table; per-instance codes call the instance's virtual operations.
#include "ffgl/entry.h"

#include "ffgl/instances.h"
#include "ffgl/mixed.h"
#include "ffgl/registration.h"

#include <cstring>

static FFMixed Fail()
{
	return MixedFromUInt( FF_FAIL );
}

static bool IsTextType( uint32_t type )
{
	return type == FF_TYPE_TEXT || type == FF_TYPE_FILE;
}

// The type of the prototype's record id; FF_FAIL with no prototype or no record.
static uint32_t PrototypeParameterType( uint32_t id )
{
	CFFGLPlugin* proto = EnsurePrototype();
	if( !proto )
		return FF_FAIL;
	const ParameterRecord* record = proto->FindParameter( id );
	return record ? record->type : FF_FAIL;
}

// The instance's own table when one is given, else the prototype's (null if it cannot be made).
static CFFGLPlugin* InstanceOrPrototype( CFFGLPlugin* instance )
{
	return instance ? instance : EnsurePrototype();
}

static FFMixed GetParameterDefault( uint32_t id )
{
	CFFGLPlugin* proto = EnsurePrototype();
	const ParameterRecord* record = proto ? proto->FindParameter( id ) : nullptr;
	if( !record )
		return Fail();
	if( IsTextType( record->type ) )
		return MixedFromPointer( record->defaultText.c_str() );
	return MixedFromFloat( record->defaultValue );
}

static FFMixed SetParameter( CFFGLPlugin* instance, const SetParameterStruct* set )
{
	if( !instance || !set )
		return Fail();
	if( IsTextType( PrototypeParameterType( set->ParameterNumber ) ) )
	{
		const char* text = static_cast< const char* >( MixedPointer( set->NewParameterValue ) );
		return MixedFromUInt( instance->SetTextParameter( set->ParameterNumber, text ) );
	}
	return MixedFromUInt( instance->SetFloatParameter( set->ParameterNumber, MixedLowFloat( set->NewParameterValue ) ) );
}

static FFMixed GetParameter( CFFGLPlugin* instance, uint32_t id )
{
	if( !instance )
		return Fail();
	if( IsTextType( PrototypeParameterType( id ) ) )
		return MixedFromPointer( instance->GetTextParameter( id ) );
	return MixedFromFloat( instance->GetFloatParameter( id ) );
}

static FFMixed GetPluginCaps( uint32_t capability )
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

static FFMixed ProcessOpenGL( CFFGLPlugin* instance, ProcessOpenGLStruct* frame )
{
	if( !instance || !frame )
		return Fail();
	// A frame that names inputs it does not hand over is refused before anything is drawn.
	if( frame->numInputTextures > 0 )
	{
		if( !frame->inputTextures )
			return Fail();
		for( uint32_t i = 0; i < frame->numInputTextures; ++i )
			if( !frame->inputTextures[ i ] )
				return Fail();
	}
	if( !instance->connected )
	{
		instance->Connect();
		instance->connected = true;
	}
	return MixedFromUInt( instance->ProcessOpenGL( frame ) );
}

static FFMixed DeinstantiateGL( CFFGLPlugin* instance )
{
	if( !instance )
		return Fail();
	if( instance->connected )
	{
		instance->Disconnect();
		instance->connected = false;
	}
	instance->DeInitGL();
	delete instance;
	return MixedFromUInt( FF_SUCCESS );
}

static FFMixed Connect( CFFGLPlugin* instance )
{
	if( !instance )
		return Fail();
	FFResult result = instance->Connect();
	if( result == FF_SUCCESS )
		instance->connected = true;
	return MixedFromUInt( result );
}

static FFMixed Disconnect( CFFGLPlugin* instance )
{
	if( !instance )
		return Fail();
	FFResult result = instance->Disconnect();
	if( result == FF_SUCCESS )
		instance->connected = false;
	return MixedFromUInt( result );
}

static FFMixed GetNumParameterElements( CFFGLPlugin* instance, uint32_t id )
{
	CFFGLPlugin* owner            = InstanceOrPrototype( instance );
	const ParameterRecord* record = owner ? owner->FindParameter( id ) : nullptr;
	if( !record )
		return Fail();
	return MixedFromUInt( static_cast< uint32_t >( record->elements.size() ) );
}

static FFMixed GetParameterUsage( uint32_t id )
{
	CFFGLPlugin* proto            = EnsurePrototype();
	const ParameterRecord* record = proto ? proto->FindParameter( id ) : nullptr;
	if( !record )
		return Fail();
	return MixedFromUInt( record->usage );
}

// The element an element query names in the instance's table (else the prototype's), or null.
static ParameterElement* FindElement( CFFGLPlugin* owner, uint32_t id, uint32_t element )
{
	ParameterRecord* record = owner ? owner->FindParameter( id ) : nullptr;
	if( !record || element >= record->elements.size() )
		return nullptr;
	return &record->elements[ element ];
}

static FFMixed GetParameterElementName( CFFGLPlugin* instance, const ParameterElementStruct* query )
{
	if( !query )
		return MixedFromPointer( nullptr );
	ParameterElement* element = FindElement( InstanceOrPrototype( instance ), query->ParameterNumber, query->ElementNumber );
	return MixedFromPointer( element ? element->name.c_str() : nullptr );
}

static FFMixed GetParameterElementValue( CFFGLPlugin* instance, const ParameterElementStruct* query )
{
	if( !query )
		return Fail();
	ParameterElement* element = FindElement( InstanceOrPrototype( instance ), query->ParameterNumber, query->ElementNumber );
	return element ? MixedFromFloat( element->value ) : Fail();
}

static FFMixed SetParameterElementValue( CFFGLPlugin* instance, const SetParameterElementValueStruct* set )
{
	if( !instance || !set )
		return Fail();
	ParameterElement* element = FindElement( instance, set->ParameterNumber, set->ElementNumber );
	if( !element )
		return Fail();
	element->value = set->NewParameterValue;
	return MixedFromUInt( FF_SUCCESS );
}

static FFMixed GetRange( GetRangeStruct* range )
{
	if( !range )
		return Fail();
	CFFGLPlugin* proto = EnsurePrototype();
	if( !proto )
		return Fail();
	const ParameterRecord* record = proto->FindParameter( range->ParameterNumber );
	range->min = record ? record->range.min : 0.f;
	range->max = record ? record->range.max : 1.f;
	return MixedFromUInt( FF_SUCCESS );
}

static FFMixed GetThumbnail( GetThumbnailStruct* thumbnail )
{
	if( thumbnail )
	{
		thumbnail->width  = 0;
		thumbnail->height = 0;
	}
	return Fail();
}

static FFMixed GetNumFileParameterExtensions( uint32_t id )
{
	CFFGLPlugin* proto = EnsurePrototype();
	if( !proto )
		return Fail();
	const ParameterRecord* record = proto->FindParameter( id );
	return MixedFromUInt( record ? static_cast< uint32_t >( record->fileExtensions.size() ) : 0 );
}

static FFMixed GetFileParameterExtension( const ParameterElementStruct* query )
{
	if( !query )
		return MixedFromPointer( nullptr );
	CFFGLPlugin* proto            = EnsurePrototype();
	const ParameterRecord* record = proto ? proto->FindParameter( query->ParameterNumber ) : nullptr;
	if( !record || query->ElementNumber >= record->fileExtensions.size() )
		return MixedFromPointer( nullptr );
	return MixedFromPointer( record->fileExtensions[ query->ElementNumber ].c_str() );
}

static FFMixed GetParameterVisibility( CFFGLPlugin* instance, uint32_t id )
{
	CFFGLPlugin* owner            = InstanceOrPrototype( instance );
	const ParameterRecord* record = owner ? owner->FindParameter( id ) : nullptr;
	if( !record )
		return Fail();
	return MixedFromUInt( record->visible ? 1 : 0 );
}

// Reports pending events in table order and clears only the flags it reported.
static FFMixed GetParameterEvents( CFFGLPlugin* instance, GetParamEventsStruct* query )
{
	if( !instance || !query )
		return Fail();
	size_t count = instance->ParameterCount();
	if( !query->events )
	{
		uint32_t pending = 0;
		for( size_t i = 0; i < count; ++i )
			if( instance->ParameterAt( i ).eventFlags != 0 )
				++pending;
		query->numEvents = pending;
		return MixedFromUInt( FF_SUCCESS );
	}
	uint32_t room    = query->numEvents;
	uint32_t written = 0;
	for( size_t i = 0; i < count && written < room; ++i )
	{
		ParameterRecord& record = instance->ParameterAt( i );
		if( record.eventFlags == 0 )
			continue;
		query->events[ written ].ParameterNumber = record.identifier;
		query->events[ written ].eventFlags      = record.eventFlags;
		record.eventFlags                        = 0;
		++written;
	}
	query->numEvents = written;
	return MixedFromUInt( FF_SUCCESS );
}

static FFMixed GetNumElementSeparators( uint32_t id )
{
	CFFGLPlugin* proto            = EnsurePrototype();
	const ParameterRecord* record = proto ? proto->FindParameter( id ) : nullptr;
	return MixedFromUInt( record ? static_cast< uint32_t >( record->elementSeparators.size() ) : 0 );
}

static FFMixed GetSeparatorElementIndex( const ParameterElementStruct* query )
{
	if( !query )
		return Fail();
	CFFGLPlugin* proto            = EnsurePrototype();
	const ParameterRecord* record = proto ? proto->FindParameter( query->ParameterNumber ) : nullptr;
	if( !record || query->ElementNumber >= record->elementSeparators.size() )
		return Fail();
	return MixedFromUInt( static_cast< uint32_t >( record->elementSeparators[ query->ElementNumber ] ) );
}

static FFMixed EnablePluginCap( CFFGLPlugin* instance, uint32_t capability )
{
	if( instance && capability == FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION )
	{
		CFFGLPlugin* proto = EnsurePrototype();
		if( proto && proto->topLeftSupported )
			instance->topLeftEnabled = 1;
	}
	return Fail();
}

// Copies min(length, maxToWrite) bytes of the text, without a terminating zero: what hosts expect.
static FFMixed CopyParameterText( const GetStringStruct* query, CFFGLPlugin* owner, bool group )
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

static FFMixed GetParameterGroup( const GetStringStruct* query )
{
	if( !query || query->maxToWrite == 0 )
		return Fail();
	return CopyParameterText( query, EnsurePrototype(), true );
}

static FFMixed GetParameterDisplayName( CFFGLPlugin* instance, const GetStringStruct* query )
{
	if( !query || query->maxToWrite == 0 || !instance )
		return Fail();
	return CopyParameterText( query, instance, false );
}

static FFMixed Dispatch( uint32_t code, FFMixed input, CFFGLPlugin* instance )
{
	const uint32_t number = MixedLowBits( input );
	void* record          = MixedPointer( input );
	switch( code )
	{
	case FF_GET_INFO:
		return MixedFromPointer( registration ? &registration->info : nullptr );
	case FF_DEINITIALISE:
		if( !registration )
			return Fail();
		delete prototype;
		prototype = nullptr;
		if( registration->deinitialiseHook )
			registration->deinitialiseHook();
		return MixedFromUInt( FF_SUCCESS );
	case FF_GET_NUM_PARAMETERS:
	{
		CFFGLPlugin* proto = EnsurePrototype();
		return proto ? MixedFromUInt( static_cast< uint32_t >( proto->ParameterCount() ) ) : Fail();
	}
	case FF_GET_PARAMETER_NAME:
	{
		CFFGLPlugin* proto            = EnsurePrototype();
		const ParameterRecord* found  = proto ? proto->FindParameter( number ) : nullptr;
		return MixedFromPointer( found ? found->name.c_str() : nullptr );
	}
	case FF_GET_PARAMETER_DEFAULT:
		return GetParameterDefault( number );
	case FF_GET_PARAMETER_DISPLAY:
		return instance ? MixedFromPointer( instance->GetParameterDisplay( number ) ) : FailurePointer();
	case FF_SET_PARAMETER:
		return SetParameter( instance, static_cast< const SetParameterStruct* >( record ) );
	case FF_GET_PARAMETER:
		return GetParameter( instance, number );
	case FF_GET_PLUGIN_CAPS:
		return GetPluginCaps( number );
	case FF_GET_EXTENDED_INFO:
		return MixedFromPointer( registration ? &registration->extendedInfo : nullptr );
	case FF_GET_PARAMETER_TYPE:
		return MixedFromUInt( PrototypeParameterType( number ) );
	case FF_GET_INPUT_STATUS:
		return instance ? MixedFromUInt( instance->GetInputStatus( number ) ) : Fail();
	case FF_PROCESS_OPENGL:
		return ProcessOpenGL( instance, static_cast< ProcessOpenGLStruct* >( record ) );
	case FF_INSTANTIATE_GL:
	{
		CFFGLPlugin* created = InstantiateGL( static_cast< const FFGLViewportStruct* >( record ) );
		return created ? MixedFromPointer( created ) : FailurePointer();
	}
	case FF_DEINSTANTIATE_GL:
		return DeinstantiateGL( instance );
	case FF_SET_TIME:
		if( !instance || !record )
			return Fail();
		return MixedFromUInt( instance->SetTime( *static_cast< const double* >( record ) ) );
	case FF_CONNECT:
		return Connect( instance );
	case FF_DISCONNECT:
		return Disconnect( instance );
	case FF_RESIZE:
		if( !instance || !record )
			return Fail();
		return MixedFromUInt( instance->Resize( static_cast< const FFGLViewportStruct* >( record ) ) );
	case FF_GET_NUM_PARAMETER_ELEMENTS:
		return GetNumParameterElements( instance, number );
	case FF_GET_PARAMETER_USAGE:
		return GetParameterUsage( number );
	case FF_GET_PLUGIN_SHORT_NAME:
	{
		CFFGLPlugin* proto = EnsurePrototype();
		return MixedFromPointer( proto ? proto->GetShortName() : nullptr );
	}
	case FF_INITIALISE_V2:
		return MixedFromUInt( InitialisePrototype() );
	case FF_GET_PARAMETER_ELEMENT_NAME:
		return GetParameterElementName( instance, static_cast< const ParameterElementStruct* >( record ) );
	case FF_GET_PARAMETER_ELEMENT_VALUE:
		return GetParameterElementValue( instance, static_cast< const ParameterElementStruct* >( record ) );
	case FF_SET_PARAMETER_ELEMENT_VALUE:
		return SetParameterElementValue( instance, static_cast< const SetParameterElementValueStruct* >( record ) );
	case FF_SET_BEATINFO:
	{
		const SetBeatinfoStruct* beat = static_cast< const SetBeatinfoStruct* >( record );
		if( !instance || !beat )
			return Fail();
		instance->SetBeatInfo( beat->bpm, beat->barPhase );
		return MixedFromUInt( FF_SUCCESS );
	}
	case FF_SET_HOSTINFO:
	{
		const SetHostinfoStruct* host = static_cast< const SetHostinfoStruct* >( record );
		if( !instance || !host )
			return Fail();
		// A missing text is an empty one.
		instance->SetHostInfo( host->name ? host->name : "", host->version ? host->version : "" );
		return MixedFromUInt( FF_SUCCESS );
	}
	case FF_SET_SAMPLERATE:
		if( !instance )
			return Fail();
		instance->SetSampleRate( number );
		return MixedFromUInt( FF_SUCCESS );
	case FF_GET_RANGE:
		return GetRange( static_cast< GetRangeStruct* >( record ) );
	case FF_GET_THUMBNAIL:
		return GetThumbnail( static_cast< GetThumbnailStruct* >( record ) );
	case FF_GET_NUM_FILE_PARAMETER_EXTENSIONS:
		return GetNumFileParameterExtensions( number );
	case FF_GET_FILE_PARAMETER_EXTENSION:
		return GetFileParameterExtension( static_cast< const ParameterElementStruct* >( record ) );
	case FF_GET_PARAMETER_VISIBILITY:
		return GetParameterVisibility( instance, number );
	case FF_GET_PARAMETER_EVENTS:
		return GetParameterEvents( instance, static_cast< GetParamEventsStruct* >( record ) );
	case FF_GET_NUM_ELEMENT_SEPARATORS:
		return GetNumElementSeparators( number );
	case FF_GET_SEPARATOR_ELEMENT_INDEX:
		return GetSeparatorElementIndex( static_cast< const ParameterElementStruct* >( record ) );
	case FF_ENABLE_PLUGIN_CAP:
		return EnablePluginCap( instance, number );
	case FF_GET_PARAMETER_GROUP:
		return GetParameterGroup( static_cast< const GetStringStruct* >( record ) );
	case FF_GET_PARAMETER_DISPLAY_NAME:
		return GetParameterDisplayName( instance, static_cast< const GetStringStruct* >( record ) );
	default:
		// 1, 3, 11, 12, 14, 24 to 30, 52 and above: nothing this plug-in does.
		return Fail();
	}
}

// What a code answers when it fails: null for the codes whose failure is null, else FF_FAIL (which,
// with its high half zero, is also the failure pointer).
static FFMixed FailureOf( uint32_t code )
{
	switch( code )
	{
	case FF_GET_INFO:
	case FF_GET_PARAMETER_NAME:
	case FF_GET_EXTENDED_INFO:
	case FF_GET_PLUGIN_SHORT_NAME:
	case FF_GET_PARAMETER_ELEMENT_NAME:
	case FF_GET_FILE_PARAMETER_EXTENSION:
		return MixedFromPointer( nullptr );
	default:
		return Fail();
	}
}

extern "C" FFMixed plugMain( uint32_t functionCode, FFMixed inputValue, FFInstanceID instanceID )
{
	// An exception (out of memory in a text copy or a constructor) never reaches the host.
	try
	{
		return Dispatch( functionCode, inputValue, static_cast< CFFGLPlugin* >( instanceID ) );
	}
	catch( ... )
	{
		return FailureOf( functionCode );
	}
}
