#include "ffgl/plugin_manager.h"

#include "ffgl/types.h"

#include <algorithm>

CFFGLPluginManager::~CFFGLPluginManager() = default;

void CFFGLPluginManager::DeclareParameter( uint32_t index, const char* name, uint32_t type, float defaultValue )
{
	ParameterRecord record;
	record.identifier = index;
	record.name       = name ? name : "";
	record.type       = type;
	record.elements.push_back( ParameterElement() );
	// A standard parameter's value lies in 0..1, so its default does too.
	record.defaultValue = type == FF_TYPE_STANDARD ? std::max( 0.f, std::min( 1.f, defaultValue ) ) : defaultValue;
	parameters.push_back( record );
}

ParameterRecord* CFFGLPluginManager::FindParameter( uint32_t id )
{
	for( ParameterRecord& record : parameters )
		if( record.identifier == id )
			return &record;
	return nullptr;
}
