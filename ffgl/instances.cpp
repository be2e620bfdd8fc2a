#include "ffgl/instances.h"

#include "ffgl/registration.h"

#include <GL/glew.h>

CFFGLPlugin* prototype = nullptr;
bool glewAttempted     = false;
bool glewReady         = false;

CFFGLPlugin* CreateInstance()
{
	if( !registration || !registration->factory )
		return nullptr;
	CFFGLPlugin* instance = nullptr;
	FFResult result       = registration->factory( &instance );
	if( result == FF_FAIL && instance )
	{
		delete instance;
		instance = nullptr;
	}
	return instance;
}

FFResult InitialisePrototype()
{
	if( !registration )
		return FF_FAIL;
	if( registration->initialiseHook )
	{
		FFResult result = registration->initialiseHook();
		if( result != FF_SUCCESS )
			return result;
	}
	if( !prototype )
		prototype = CreateInstance();
	return prototype ? FF_SUCCESS : FF_FAIL;
}

CFFGLPlugin* EnsurePrototype()
{
	if( !prototype )
		InitialisePrototype();
	return prototype;
}

static bool PushDefaults( CFFGLPlugin* instance )
{
	// The count is read again each step: the table is the prototype's, not the new instance's.
	for( uint32_t i = 0; i < prototype->ParameterCount(); ++i )
	{
		const ParameterRecord* record = prototype->FindParameter( i );
		if( !record )
			continue;
		FFResult result;
		if( record->type == FF_TYPE_TEXT || record->type == FF_TYPE_FILE )
			result = instance->SetTextParameter( i, record->defaultText.c_str() );
		else
			result = instance->SetFloatParameter( i, record->defaultValue );
		if( result == FF_FAIL )
			return false;
	}
	return true;
}

static bool EnsureGlew()
{
	if( glewAttempted )
		return glewReady;
	glewAttempted = true;
	glewReady     = glewInit() == GLEW_OK;
	return glewReady;
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
	instance->self = instance;
	if( !PushDefaults( instance ) || !EnsureGlew() )
	{
		delete instance;
		return nullptr;
	}
	if( instance->InitGL( vp ) != FF_SUCCESS )
	{
		instance->DeInitGL();
		delete instance;
		return nullptr;
	}
	return instance;
}
