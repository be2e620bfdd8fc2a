// plugMain: the dispatch by function code, and the one place where exceptions stop.
#include "ffgl/entry.h"

#include "ffgl/dispatch.h"
#include "ffgl/prototype.h"

static FFMixed Dispatch( uint32_t code, FFMixed input, CFFGLPlugin* instance )
{
	const uint32_t number = MixedLowBits( input );
	void* record          = MixedPointer( input );
	switch( code )
	{
	case FF_GET_INFO:
		return GetInfo();
	case FF_DEINITIALISE:
		return Deinitialise();
	case FF_GET_NUM_PARAMETERS:
		return GetNumParameters();
	case FF_GET_PARAMETER_NAME:
		return GetParameterName( number );
	case FF_GET_PARAMETER_DEFAULT:
		return GetParameterDefault( number );
	case FF_GET_PARAMETER_DISPLAY:
		return GetParameterDisplay( instance, number );
	case FF_SET_PARAMETER:
		return SetParameter( instance, static_cast< const SetParameterStruct* >( record ) );
	case FF_GET_PARAMETER:
		return GetParameter( instance, number );
	case FF_GET_PLUGIN_CAPS:
		return GetPluginCaps( number );
	case FF_GET_EXTENDED_INFO:
		return GetExtendedInfo();
	case FF_GET_PARAMETER_TYPE:
		return GetParameterType( number );
	case FF_GET_INPUT_STATUS:
		return GetInputStatus( instance, number );
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
		return SetTime( instance, static_cast< const double* >( record ) );
	case FF_CONNECT:
		return ChangeConnection( instance, true );
	case FF_DISCONNECT:
		return ChangeConnection( instance, false );
	case FF_RESIZE:
		return Resize( instance, static_cast< const FFGLViewportStruct* >( record ) );
	case FF_GET_NUM_PARAMETER_ELEMENTS:
		return GetNumParameterElements( instance, number );
	case FF_GET_PARAMETER_USAGE:
		return GetParameterUsage( number );
	case FF_GET_PLUGIN_SHORT_NAME:
		return GetPluginShortName();
	case FF_INITIALISE_V2:
		return MixedFromUInt( InitialisePrototype() );
	case FF_GET_PARAMETER_ELEMENT_NAME:
		return GetParameterElementName( instance, static_cast< const ParameterElementStruct* >( record ) );
	case FF_GET_PARAMETER_ELEMENT_VALUE:
		return GetParameterElementValue( instance, static_cast< const ParameterElementStruct* >( record ) );
	case FF_SET_PARAMETER_ELEMENT_VALUE:
		return SetParameterElementValue( instance, static_cast< const SetParameterElementValueStruct* >( record ) );
	case FF_SET_BEATINFO:
		return SetBeatInfo( instance, static_cast< const SetBeatinfoStruct* >( record ) );
	case FF_SET_HOSTINFO:
		return SetHostInfo( instance, static_cast< const SetHostinfoStruct* >( record ) );
	case FF_SET_SAMPLERATE:
		return SetSampleRate( instance, number );
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
	// An exception (out of memory in a text copy or a constructor) never reaches the host. Codes 18
	// and 19 undo their own half-done work before it gets here.
	try
	{
		return Dispatch( functionCode, inputValue, static_cast< CFFGLPlugin* >( instanceID ) );
	}
	catch( ... )
	{
		return FailureOf( functionCode );
	}
}
