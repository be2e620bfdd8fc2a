#include "effect/umbrafex.h"

#include "effect/umbrafex_shaders.h"
#include "ffgl/log.h"
#include "version.h"

Umbrafex::Umbrafex()
	: CFFGLPlugin( false )
{
	SetMinimumInputs( 1 );
	SetMaximumInputs( 1 );
	// Each default is what the getter answers now: the table and the fields cannot disagree.
	DeclareParameter( 0, "Quality", FF_TYPE_BOOLEAN, GetFloatParameter( 0 ) );
	DeclareParameter( 1, "Show Mask", FF_TYPE_BOOLEAN, GetFloatParameter( 1 ) );
	DeclareParameter( 2, "Stability", FF_TYPE_STANDARD, GetFloatParameter( 2 ) );
	DeclareParameter( 3, "Edge Hard", FF_TYPE_STANDARD, GetFloatParameter( 3 ) );
	LogToHost( "Umbrafex TAVLEN v" UMBRAFEX_VERSION_TEXT ": created" );
}

// Members go in reverse order: history, then tmpImage, maskImage, dstImage, srcImage (each releasing
// its buffer), then quad and shader, which delete no GL object: DeInitGL has done that.
Umbrafex::~Umbrafex()
{
}

FFResult Umbrafex::InitGL( const FFGLViewportStruct* vp )
{
	if( !shader.Compile( umbrafexVertexSource, umbrafexFragmentSource ) )
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
	case 0:
		// Written as "not equal" so that a NaN counts as a change too.
		if( !( value == quality ) )
		{
			quality          = value;
			rebuildRequested = true;
		}
		return FF_SUCCESS;
	case 1:
		showMask = value;
		return FF_SUCCESS;
	case 2:
		stability = value;
		return FF_SUCCESS;
	case 3:
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
	case 0:
		return quality;
	case 1:
		return showMask;
	case 2:
		return stability;
	case 3:
		return edgeHard;
	default:
		return 0.0f;
	}
}
