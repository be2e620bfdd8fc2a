// Codes that reach one instance: its virtual operations, its connection flag and its own table, and
// the instance's birth (code 18) and end (code 19).
#include "ffgl/dispatch.h"
#include "ffgl/glew_start.h"
#include "ffgl/prototype.h"
#include "ffgl/registration.h"

// Runs one step of taking an instance down; true when it returned rather than threw. Teardown goes on
// either way: the host forgets the instance, so nothing may be left of it.
template< typename Step >
static bool RunTeardownStep( Step step )
{
	try
	{
		step();
		return true;
	}
	catch( ... )
	{
		return false;
	}
}

FFMixed GetParameterDisplay( CFFGLPlugin* instance, uint32_t id )
{
	return instance ? MixedFromPointer( instance->GetParameterDisplay( id ) ) : FailurePointer();
}

FFMixed SetParameter( CFFGLPlugin* instance, const SetParameterStruct* set )
{
	if( !instance || !set )
		return Fail();
	if( IsTextType( PrototypeParameterType( set->ParameterNumber ) ) )
	{
		const char* text = static_cast< const char* >( MixedPointer( set->NewParameterValue ) );
		return MixedFromUInt( instance->SetTextParameter( set->ParameterNumber, text ) );
	}
	return MixedFromUInt(
	    instance->SetFloatParameter( set->ParameterNumber, MixedLowFloat( set->NewParameterValue ) ) );
}

FFMixed GetParameter( CFFGLPlugin* instance, uint32_t id )
{
	if( !instance )
		return Fail();
	if( IsTextType( PrototypeParameterType( id ) ) )
		return MixedFromPointer( instance->GetTextParameter( id ) );
	return MixedFromFloat( instance->GetFloatParameter( id ) );
}

FFMixed GetInputStatus( CFFGLPlugin* instance, uint32_t input )
{
	return instance ? MixedFromUInt( instance->GetInputStatus( input ) ) : Fail();
}

FFMixed ProcessOpenGL( CFFGLPlugin* instance, ProcessOpenGLStruct* frame )
{
	if( !instance || !frame )
		return Fail();
	// Only the inputs the plug-in reads must be there; entries beyond them are never read, whatever
	// the host's count says.
	const uint32_t used = instance->maxInputs > 0 ? static_cast< uint32_t >( instance->maxInputs ) : 0;
	const uint32_t read = frame->numInputTextures < used ? frame->numInputTextures : used;
	if( read > 0 && !frame->inputTextures )
		return Fail();
	for( uint32_t i = 0; i < read; ++i )
		if( !frame->inputTextures[ i ] )
			return Fail();
	if( !instance->connected )
	{
		instance->Connect();
		instance->connected = true;
	}
	return MixedFromUInt( instance->ProcessOpenGL( frame ) );
}

// Pushes the prototype's defaults through the setters; false when one answers FF_FAIL.
static bool PushDefaults( CFFGLPlugin* instance )
{
	// The count is read again each step: the table is the prototype's, not the new instance's.
	for( uint32_t i = 0; i < prototype->ParameterCount(); ++i )
	{
		const ParameterRecord* record = prototype->FindParameter( i );
		if( !record )
			continue;
		FFResult result;
		if( IsTextType( record->type ) )
			result = instance->SetTextParameter( i, record->defaultText.c_str() );
		else
			result = instance->SetFloatParameter( i, record->defaultValue );
		if( result == FF_FAIL )
			return false;
	}
	return true;
}

CFFGLPlugin* InstantiateGL( const FFGLViewportStruct* vp )
{
	if( !registration || !vp )
		return nullptr;
	if( !EnsurePrototype() )
		return nullptr;
	CFFGLPlugin* instance = CreateInstance();
	if( !instance )
		return nullptr;
	instance->self   = instance;
	bool glEntered   = false;
	bool initialised = false;
	try
	{
		if( PushDefaults( instance ) && StartGlew() )
		{
			glEntered   = true;
			initialised = instance->InitGL( vp ) == FF_SUCCESS;
		}
	}
	catch( ... )
	{
		// A setter or InitGL that throws fails like one that answers FF_FAIL: taken down below.
	}
	if( initialised )
		return instance;
	if( glEntered )
		RunTeardownStep( [ instance ] { instance->DeInitGL(); } );
	delete instance;
	return nullptr;
}

FFMixed DeinstantiateGL( CFFGLPlugin* instance )
{
	if( !instance )
		return Fail();
	bool clean = true;
	if( instance->connected )
	{
		clean               = RunTeardownStep( [ instance ] { instance->Disconnect(); } );
		instance->connected = false;
	}
	clean = RunTeardownStep( [ instance ] { instance->DeInitGL(); } ) && clean;
	delete instance;
	// The instance is gone either way; a step that threw is still reported.
	return clean ? MixedFromUInt( FF_SUCCESS ) : Fail();
}

FFMixed SetTime( CFFGLPlugin* instance, const double* time )
{
	if( !instance || !time )
		return Fail();
	return MixedFromUInt( instance->SetTime( *time ) );
}

FFMixed ChangeConnection( CFFGLPlugin* instance, bool connect )
{
	if( !instance )
		return Fail();
	const FFResult result = connect ? instance->Connect() : instance->Disconnect();
	// The flag follows only an operation that succeeded.
	if( result == FF_SUCCESS )
		instance->connected = connect;
	return MixedFromUInt( result );
}

FFMixed Resize( CFFGLPlugin* instance, const FFGLViewportStruct* vp )
{
	if( !instance || !vp )
		return Fail();
	return MixedFromUInt( instance->Resize( vp ) );
}

FFMixed SetParameterElementValue( CFFGLPlugin* instance, const SetParameterElementValueStruct* set )
{
	if( !instance || !set )
		return Fail();
	ParameterElement* element = FindElement( instance, set->ParameterNumber, set->ElementNumber );
	if( !element )
		return Fail();
	element->value = set->NewParameterValue;
	return MixedFromUInt( FF_SUCCESS );
}

FFMixed SetBeatInfo( CFFGLPlugin* instance, const SetBeatinfoStruct* beat )
{
	if( !instance || !beat )
		return Fail();
	instance->SetBeatInfo( beat->bpm, beat->barPhase );
	return MixedFromUInt( FF_SUCCESS );
}

FFMixed SetHostInfo( CFFGLPlugin* instance, const SetHostinfoStruct* host )
{
	if( !instance || !host )
		return Fail();
	// A missing text is an empty one.
	instance->SetHostInfo( host->name ? host->name : "", host->version ? host->version : "" );
	return MixedFromUInt( FF_SUCCESS );
}

FFMixed SetSampleRate( CFFGLPlugin* instance, uint32_t rate )
{
	if( !instance )
		return Fail();
	instance->SetSampleRate( rate );
	return MixedFromUInt( FF_SUCCESS );
}

// Reports pending events in table order and clears only the flags it reported.
FFMixed GetParameterEvents( CFFGLPlugin* instance, GetParamEventsStruct* query )
{
	if( !instance || !query )
		return Fail();
	const size_t count = instance->ParameterCount();
	if( !query->events )
	{
		uint32_t pending = 0;
		for( size_t i = 0; i < count; ++i )
			if( instance->ParameterAt( i ).eventFlags != 0 )
				++pending;
		query->numEvents = pending;
		return MixedFromUInt( FF_SUCCESS );
	}
	const uint32_t room = query->numEvents;
	uint32_t written    = 0;
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

FFMixed EnablePluginCap( CFFGLPlugin* instance, uint32_t capability )
{
	if( instance && capability == FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION )
	{
		CFFGLPlugin* proto = EnsurePrototype();
		if( proto && proto->topLeftSupported )
			instance->topLeftEnabled = 1;
	}
	return Fail();
}

FFMixed GetParameterDisplayName( CFFGLPlugin* instance, const GetStringStruct* query )
{
	if( !query || query->maxToWrite == 0 || !instance )
		return Fail();
	return CopyParameterText( query, instance, false );
}
