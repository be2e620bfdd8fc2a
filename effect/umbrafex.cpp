#include "effect/umbrafex.h"

#include "effect/umbrafex_parameters.h"
#include "effect/umbrafex_shaders.h"
#include "ffgl/log.h"
#include "version.h"

Umbrafex::Umbrafex()
    : CFFGLPlugin( false )
{
	SetMinimumInputs( 1 );
	SetMaximumInputs( 1 );
	// Each default is what the getter answers now: the table and the fields cannot disagree.
	DeclareParameter( kQuality, "Quality", FF_TYPE_BOOLEAN, GetFloatParameter( kQuality ) );
	DeclareParameter( kShowMask, "Show Mask", FF_TYPE_BOOLEAN, GetFloatParameter( kShowMask ) );
	DeclareParameter( kStability, "Stability", FF_TYPE_STANDARD, GetFloatParameter( kStability ) );
	DeclareParameter( kEdgeHard, "Edge Hard", FF_TYPE_STANDARD, GetFloatParameter( kEdgeHard ) );
	LogToHost( "Umbrafex TAVLEN v" UMBRAFEX_VERSION_TEXT ": created" );
}

// Members go in reverse order: history, then tmpImage, maskImage, dstImage, srcImage (each releasing
// its buffer), then quad and shader, which delete no GL object: DeInitGL has done that.
Umbrafex::~Umbrafex()
{
}

FFResult Umbrafex::InitGL( const FFGLViewportStruct* vp )
{
	if( !shader.Compile( kUmbrafexVertexSource, kUmbrafexFragmentSource ) )
	{
		DeInitGL();
		return FF_FAIL;
	}
	if( !quad.Initialise( false ) )
	{
		DeInitGL();
		return FF_FAIL;
	}
	if( vp )
		viewport = *vp;
	return FF_SUCCESS;
}

FFResult Umbrafex::SetFloatParameter( uint32_t index, float value )
{
	switch( index )
	{
	case kQuality:
		// Written as "not equal" so that a NaN counts as a change too.
		if( !( value == quality ) )
		{
			quality          = value;
			rebuildRequested = true;
		}
		return FF_SUCCESS;
	case kShowMask:
		showMask = value;
		return FF_SUCCESS;
	case kStability:
		stability = value;
		return FF_SUCCESS;
	case kEdgeHard:
		edgeHard = value;
		return FF_SUCCESS;
	default:
		return FF_FAIL;
	}
}

float Umbrafex::GetFloatParameter( uint32_t index )
{
	switch( index )
	{
	case kQuality:
		return quality;
	case kShowMask:
		return showMask;
	case kStability:
		return stability;
	case kEdgeHard:
		return edgeHard;
	default:
		return 0.0f;
	}
}
