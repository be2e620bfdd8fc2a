#include "tests/support/plugmain_calls.h"

FrameRecord::FrameRecord( const FFGLTextureStruct& input, GLuint hostFramebuffer )
    : texture( input )
{
	inputs[ 0 ]             = &texture;
	record                  = {};
	record.numInputTextures = 1;
	record.inputTextures    = inputs;
	record.HostFBO          = hostFramebuffer;
}

void BindHostTarget( const TestTarget& target )
{
	glBindFramebuffer( GL_FRAMEBUFFER, target.framebuffer );
	glViewport( 0, 0, target.width, target.height );
}

FFMixed PlugMainCalls::Call( uint32_t code, FFMixed input, FFInstanceID instance ) const
{
	return plugMain( code, input, instance );
}

FFMixed PlugMainCalls::Call( uint32_t code, uint32_t number, FFInstanceID instance ) const
{
	return plugMain( code, HostNumber( number ), instance );
}

FFMixed PlugMainCalls::CallWith( uint32_t code, const void* record, FFInstanceID instance ) const
{
	return plugMain( code, MixedFromPointer( record ), instance );
}

FFResult PlugMainCalls::SetParameter( FFInstanceID instance, uint32_t index, float value ) const
{
	const SetParameterStruct record = { index, HostNumber( static_cast< uint32_t >( FloatBits( value ) ) ) };
	return MixedLowBits( CallWith( FF_SET_PARAMETER, &record, instance ) );
}

float PlugMainCalls::GetParameter( FFInstanceID instance, uint32_t index ) const
{
	return MixedLowFloat( Call( FF_GET_PARAMETER, index, instance ) );
}

FFResult PlugMainCalls::Frame( FFInstanceID instance, const FFGLTextureStruct& input, const TestTarget& target ) const
{
	const FrameRecord frame( input, target.framebuffer );
	return Frame( instance, frame.record, target );
}

FFResult PlugMainCalls::Frame( FFInstanceID instance, const ProcessOpenGLStruct& record,
                               const TestTarget& target ) const
{
	BindHostTarget( target );
	return MixedLowBits( CallWith( FF_PROCESS_OPENGL, &record, instance ) );
}
