#pragma once
// The parameter table every plug-in instance carries: what the host's parameter queries report.
// Current values live in the plug-in and are reached through CFFGLPlugin's getters and setters.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ParameterElement
{
	std::string name;
	float value = 0.f;
};

struct ParameterRange
{
	float min = 0.f;
	float max = 1.f;
};

struct ParameterRecord
{
	uint32_t identifier = 0;
	std::string name;
	std::string displayName;
	uint32_t type = 0;
	std::vector< ParameterElement > elements;
	std::vector< int32_t > elementSeparators;
	uint32_t usage = 0;
	bool visible   = true;
	ParameterRange range;
	float defaultValue = 0.f;
	std::string defaultText;
	std::vector< std::string > fileExtensions;
	uint64_t eventFlags = 0;
	std::string group;
};

class CFFGLPluginManager
{
public:
	CFFGLPluginManager() = default;
	virtual ~CFFGLPluginManager();
	CFFGLPluginManager( const CFFGLPluginManager& )            = delete;
	CFFGLPluginManager& operator=( const CFFGLPluginManager& ) = delete;

	// Appends one record; called from a derived constructor only. A repeated index is never found.
	void DeclareParameter( uint32_t index, const char* name, uint32_t type, float defaultValue );

	size_t ParameterCount() const { return parameters.size(); }
	// The first record whose identifier is id, or null.
	ParameterRecord* FindParameter( uint32_t id );
	// The record at a position of the table (declaration order); position below ParameterCount().
	ParameterRecord& ParameterAt( size_t position ) { return parameters[ position ]; }

private:
	std::vector< ParameterRecord > parameters;
};
