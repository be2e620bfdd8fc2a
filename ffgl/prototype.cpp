#include "ffgl/prototype.h"

#include "ffgl/registration.h"

CFFGLPlugin* prototype = nullptr;

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

ParameterRecord* PrototypeRecord( uint32_t id )
{
	CFFGLPlugin* proto = EnsurePrototype();
	return proto ? proto->FindParameter( id ) : nullptr;
}

ParameterRecord* InstanceOrPrototypeRecord( CFFGLPlugin* instance, uint32_t id )
{
	return instance ? instance->FindParameter( id ) : PrototypeRecord( id );
}
