#pragma once
// Runs a clean-up when the scope ends, also when an assertion returns from the test half-way, so
// that what one test made (GL objects, images, effects, streams) never leaks into the next.
//   GLuint buffers[ 2 ] = {};
//   glGenBuffers( 2, buffers );
//   AtScopeEnd deleteBuffers( [ & ] { glDeleteBuffers( 2, buffers ); } );
template< typename CleanUp >
class AtScopeEnd
{
public:
	explicit AtScopeEnd( CleanUp cleanUp )
	    : cleanUp( cleanUp )
	{
	}
	~AtScopeEnd() { cleanUp(); }
	AtScopeEnd( const AtScopeEnd& )            = delete;
	AtScopeEnd& operator=( const AtScopeEnd& ) = delete;

private:
	CleanUp cleanUp;
};
