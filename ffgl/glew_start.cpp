#include "ffgl/glew_start.h"

#include <GL/glew.h>

bool glewAttempted = false;
bool glewReady     = false;

bool StartGlew()
{
	if( glewAttempted )
		return glewReady;
	glewAttempted = true;
	glewReady     = glewInit() == GLEW_OK;
	return glewReady;
}
