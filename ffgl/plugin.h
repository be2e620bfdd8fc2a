#pragma once
// The host-facing face of one plug-in instance. The entry point turns each per-instance function code
// into one of these virtual calls; a plug-in derives from this class and replaces what it needs.
#include "ffgl/plugin_manager.h"
#include "ffgl/types.h"

#include <cstdint>
#include <string>

class CFFGLPlugin : public CFFGLPluginManager
{
public:
	explicit CFFGLPlugin( bool topLeftSupported );

	// The order of these virtual operations is the virtual-table contract with derived plug-ins.
	~CFFGLPlugin() override;
	virtual FFResult InitGL( const FFGLViewportStruct* vp );
	virtual FFResult DeInitGL();
	virtual char* GetParameterDisplay( uint32_t index );
	virtual FFResult SetFloatParameter( uint32_t index, float value );
	virtual FFResult SetTextParameter( uint32_t index, const char* value );
	virtual float GetFloatParameter( uint32_t index );
	// Default: the failure pointer (not null).
	virtual char* GetTextParameter( uint32_t index );
	virtual FFResult ProcessOpenGL( ProcessOpenGLStruct* pGL );
	virtual FFResult SetTime( double time );
	virtual void SetBeatInfo( float bpm, float barPhase );
	virtual void SetHostInfo( const char* name, const char* version );
	virtual void SetSampleRate( uint32_t rate );
	virtual FFResult GetInputStatus( uint32_t inputNumber );
	virtual char* GetShortName();
	virtual FFResult Connect();
	virtual FFResult Disconnect();
	virtual FFResult Resize( const FFGLViewportStruct* vp );

	// Set-up, from a derived constructor: the input counts code 10 reports.
	void SetMinimumInputs( int32_t count ) { minInputs = count; }
	void SetMaximumInputs( int32_t count ) { maxInputs = count; }

	int32_t minInputs       = 0;
	int32_t maxInputs       = 0;
	bool timeSupported      = true;
	bool topLeftSupported   = false;
	uint32_t topLeftEnabled = 0;
	bool connected          = false;
	// Set by GL instantiation to this object; the display text reads through it.
	CFFGLPlugin* self           = nullptr;
	FFGLViewportStruct viewport = {};
	float bpm                   = 120.f;
	float barPhase              = 0.f;
	std::string hostName;
	std::string hostVersion;
	double hostTime     = 0.0;
	uint32_t sampleRate = 0;
};
