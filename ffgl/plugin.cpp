#include "ffgl/plugin.h"

CFFGLPlugin::CFFGLPlugin( bool topLeftSupported )
    : topLeftSupported( topLeftSupported )
{
}

CFFGLPlugin::~CFFGLPlugin() = default;

FFResult CFFGLPlugin::InitGL( const FFGLViewportStruct* vp )
{
	if( vp )
		viewport = *vp;
	return FF_SUCCESS;
}

FFResult CFFGLPlugin::DeInitGL()
{
	return FF_SUCCESS;
}

FFResult CFFGLPlugin::SetFloatParameter( uint32_t, float )
{
	return FF_FAIL;
}

FFResult CFFGLPlugin::SetTextParameter( uint32_t, const char* )
{
	return FF_FAIL;
}

float CFFGLPlugin::GetFloatParameter( uint32_t )
{
	return 0.f;
}

char* CFFGLPlugin::GetTextParameter( uint32_t )
{
	return reinterpret_cast< char* >( FF_FAIL_POINTER_VALUE );
}

FFResult CFFGLPlugin::ProcessOpenGL( ProcessOpenGLStruct* )
{
	return FF_FAIL;
}

FFResult CFFGLPlugin::SetTime( double time )
{
	hostTime = time;
	return FF_SUCCESS;
}

void CFFGLPlugin::SetBeatInfo( float newBpm, float newBarPhase )
{
	bpm      = newBpm;
	barPhase = newBarPhase;
}

void CFFGLPlugin::SetHostInfo( const char* name, const char* version )
{
	// Copies: the host may free its texts once the call returns.
	hostName    = name ? name : "";
	hostVersion = version ? version : "";
}

void CFFGLPlugin::SetSampleRate( uint32_t rate )
{
	sampleRate = rate;
}

FFResult CFFGLPlugin::GetInputStatus( uint32_t inputNumber )
{
	return inputNumber < static_cast< uint32_t >( maxInputs ) ? FF_INPUT_INUSE : FF_FAIL;
}

char* CFFGLPlugin::GetShortName()
{
	return nullptr;
}

FFResult CFFGLPlugin::Connect()
{
	return FF_SUCCESS;
}

FFResult CFFGLPlugin::Disconnect()
{
	return FF_SUCCESS;
}

FFResult CFFGLPlugin::Resize( const FFGLViewportStruct* vp )
{
	if( vp )
		viewport = *vp;
	return FF_SUCCESS;
}
