#pragma once
// The generated input scene: a presenter (head, hair, neck, shoulders, torso, arms, hands, in skin
// and clothing colours) swaying across a green backdrop with uneven lighting and a little noise.
// Every frame is a pure function of its number and the size, so runs and tests can be compared.
#include "host/core/picture.h"

namespace ffglhost
{
// Where the figure stands in one frame, in pixels, y counted from the top row.
struct FigurePose
{
	float unit;           // the figure's scale: the smaller of the picture's width and height
	float centerX;        // the body's vertical axis
	float headX, headY;   // centre of the head
	float torsoX, torsoY; // a point in the middle of the torso
	// The figure lies inside this box; everything outside it is backdrop.
	float left, top, right, bottom;
};

FigurePose PresenterPose( int frame, int w, int h );

// Renders frame number frame (0 the first) at w x h into picture: opaque RGBA, rows top first.
void RenderPresenter( int frame, int w, int h, Picture& picture );

// The backdrop's key colour distance G - max(R, B) is never below this, noise and lighting included.
const int kBackdropMinGreenExcess = 80;
}
