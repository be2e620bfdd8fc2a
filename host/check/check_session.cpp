#include "host/check/check_session.h"

#include "host/core/gl_frames.h"
#include "host/core/host_log.h"
#include "host/core/plugin_instance.h"
#include "host/core/timing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ffglhost
{
namespace
{
const long long kSteadyFramePixels = 1920LL * 1080LL;
const char* const kWatchNames[]    = { "glstate.instantiate", "glstate.process", "glstate.deinstantiate",
	                                   "glstate.other" };
}

CheckSession::CheckSession( const CheckGroup& checkGroup, const std::string& pluginPath, const CheckPlan& checkPlan,
                            uint64_t seed )
    : group( checkGroup )
    , plugin( pluginPath )
    , plan( checkPlan )
    , random( seed )
{
}

CheckSession::~CheckSession()
{
	Close();
}

bool CheckSession::Open( std::string* error )
{
	ClearCollectedLogLines();
	EmitCall( "load", plugin );
	if( !library.Load( plugin, error ) )
	{
		EmitCannotRun( *error );
		return false;
	}
	if( !library.Identify( error ) )
		return false;
	library.InstallLogCallback( CollectLogLine );
	EmitCall( "FF_INITIALISE_V2", "" );
	if( !InitialisePlugin( library, error ) )
		return false;
	initialised = true;
	EmitCall( "information codes", "" );
	if( !DescribePlugin( library, &description, error ) )
		return false;
	if( description.type != FF_EFFECT )
	{
		*error = "it is a " + PluginTypeName( description.type ) + " plug-in; ffglhost check validates effects";
		return false;
	}
	if( !glReady )
	{
		if( !StartHostGL( context, error ) )
		{
			EmitCannotRun( *error );
			return false;
		}
		glReady = true;
		target.Start();
	}
	return true;
}

void CheckSession::CloseLibrary()
{
	if( initialised )
		Deinitialise();
	initialised = false;
	library.Close();
}

void CheckSession::Close()
{
	if( glReady )
		context.MakeCurrent();
	if( initialised )
		Deinitialise();
	initialised = false;
	if( glReady && censusTaken && !namesChecked )
	{
		namesProblem = NamesLeftBehind( namesBefore, TakeGLNameCensus(), target.OwnNames() );
		namesChecked = true;
	}
	ReportSharedChecks();
	library.Close();
	if( glReady )
	{
		target.Release();
		context.Destroy();
		glReady = false;
	}
	for( const std::string& line : CollectedLogLines() )
		EmitLog( line );
	ClearCollectedLogLines();
}

void CheckSession::FailAll( const std::string& reason )
{
	for( const CheckDefinition& check : group.checks )
		EmitResult( { check.name, CheckStatus::kFail, reason, false } );
}

void CheckSession::ReportSharedChecks()
{
	// A problem was reported when it was found (a later crash must not lose it); passes are said here.
	for( int kind = 0; kind < kCallKinds; ++kind )
	{
		StateWatch& watch = watches[ kind ];
		if( watch.calls > 0 && watch.problem.empty() )
			EmitResult( { kWatchNames[ kind ], CheckStatus::kPass, "calls left the GL state as the host set it", true,
			              0.0, watch.calls } );
		watch = StateWatch();
	}
	if( namesChecked )
	{
		if( namesProblem.empty() )
			EmitResult( { "names.released", CheckStatus::kPass,
			              "groups: no GL object outlived the instances and FF_DEINITIALISE", true, 0.0, 1 } );
		else
			EmitResult( { "names.released", CheckStatus::kFail,
			              "GL objects the plug-in made outlived every instance and FF_DEINITIALISE (" +
			                  std::string( group.name ) + " group): " + namesProblem +
			                  "; delete them in FF_DEINSTANTIATE_GL" } );
		namesChecked = false;
		censusTaken  = false;
	}
}

void CheckSession::SavePictures( const std::string& instance, int frame, const Picture& expected, const Picture& drawn )
{
	if( artifactDirectory.empty() )
		return;
	Picture difference;
	MakeDifferencePicture( expected, drawn, difference );
	WritePictures(
	    ArtifactBaseName( currentCheck, instance, frame ),
	    { { "expected", &expected, true }, { "drawn", &drawn, true }, { "difference", &difference, false } } );
}

void CheckSession::WritePictures( const std::string& base, const std::vector< ArtifactPicture >& pictures )
{
	std::vector< std::string > files;
	std::string error;
	if( !WriteArtifactPictures( artifactDirectory, base, pictures, &files, &error ) )
		EmitUnwritten( error ); // the check's verdict stands without its pictures
	for( const std::string& file : files )
		EmitArtifact( currentCheck, file );
}

std::string CheckSession::FrameProblemOf( const CheckInstance& instance, const FrameOutput& output, unsigned demands )
{
	const std::string problem = FrameProblem( output, demands );
	if( problem.empty() || artifactDirectory.empty() )
		return problem;
	// No fresh instance to compare with: the demand itself says which pixels are wrong.
	Picture marks;
	MarkPixels( output.picture, BrokenPixels( output, demands ), marks );
	WritePictures( ArtifactBaseName( currentCheck, instance.name, instance.frames ),
	               { { "drawn", &output.picture, true }, { "difference", &marks, false } } );
	return problem;
}

FFMixed CheckSession::Call( uint32_t code, FFMixed input, void* instance, const char* callName,
                            const std::string& detail )
{
	EmitCall( callName, detail );
	return library.Call( code, input, instance );
}

FFMixed CheckSession::GuardedCall( CallKind kind, uint32_t code, FFMixed input, void* instance, const char* callName,
                                   const std::string& detail, double* milliseconds )
{
	if( !glReady )
		return Call( code, input, instance, callName, detail ); // FF_DEINITIALISE when GL could not start
	SetHostDefaultState( target.Framebuffer(), target.Viewport() );
	TakeGLErrors();
	const GLStateSnapshot expected = TakeGLStateSnapshot( target.HostObjects() );
	EmitCall( callName, detail );
	const double start   = NowSeconds();
	const FFMixed result = library.Call( code, input, instance );
	glFinish();
	if( milliseconds )
		*milliseconds = ( NowSeconds() - start ) * 1000.0;
	const std::string errors = TakeGLErrors();
	const std::vector< std::string > differences =
	    CompareGLState( expected, TakeGLStateSnapshot( target.HostObjects() ), callName );
	StateWatch& watch = watches[ kind ];
	++watch.calls;
	if( watch.problem.empty() && ( !differences.empty() || !errors.empty() ) )
	{
		std::string problem;
		for( size_t i = 0; i < differences.size() && i < 3; ++i )
			problem += ( i ? "; " : "" ) + differences[ i ];
		if( differences.size() > 3 )
			problem += "; and " + std::to_string( differences.size() - 3 ) + " more";
		if( !errors.empty() )
			problem += ( problem.empty() ? "" : "; " ) + std::string( callName ) + " raised " + errors;
		watch.problem = problem + ( detail.empty() ? "" : " (" + detail + ")" ) +
		                ": hosts hand over GL's defaults and expect them back after every call";
		EmitResult( { kWatchNames[ kind ], CheckStatus::kFail, watch.problem } );
	}
	return result;
}

bool CheckSession::Instantiate( CheckInstance& instance, int w, int h, std::string* reason )
{
	if( !target.Prepared() )
		target.Prepare( PlainLayout( w, h ) );
	if( !censusTaken )
	{
		SetHostDefaultState( target.Framebuffer(), target.Viewport() );
		namesBefore = TakeGLNameCensus();
		censusTaken = true;
	}
	FFGLViewportStruct record = { 0, 0, static_cast< uint32_t >( w ), static_cast< uint32_t >( h ) };
	double milliseconds       = 0.0;
	const FFMixed result      = GuardedCall( kInstantiateCall, FF_INSTANTIATE_GL, MixedPointer( &record ), nullptr,
	                                         "FF_INSTANTIATE_GL", instance.name + " at " + SizeText( w, h ), &milliseconds );
	if( !IsValidPointer( result ) )
	{
		*reason = "FF_INSTANTIATE_GL failed for " + instance.name + " at " + SizeText( w, h );
		return false;
	}
	EmitTime( "instantiate", milliseconds );
	instance.id                        = result.PointerValue;
	instance.frames                    = 0;
	instance.changed                   = true;
	static const char* const kHostName = "ffglhost check";
	SetHostinfoStruct host             = { kHostName, "1" };
	GuardedCall( kOtherCall, FF_SET_HOSTINFO, MixedPointer( &host ), instance.id, "FF_SET_HOSTINFO", instance.name );
	return true;
}

void CheckSession::Deinstantiate( CheckInstance& instance )
{
	if( !instance.id )
		return;
	double milliseconds = 0.0;
	GuardedCall( kDeinstantiateCall, FF_DEINSTANTIATE_GL, MixedNumber( 0 ), instance.id, "FF_DEINSTANTIATE_GL",
	             instance.name, &milliseconds );
	EmitTime( "deinstantiate", milliseconds );
	instance.id = nullptr;
}

uint32_t CheckSession::SetFloat( CheckInstance& instance, uint32_t index, float value )
{
	SetParameterStruct record     = {};
	record.ParameterNumber        = index;
	record.NewParameterValue.bits = 0;
	std::memcpy( &record.NewParameterValue.UIntValue, &value, sizeof( value ) );
	instance.changed = true;
	return GuardedCall( kOtherCall, FF_SET_PARAMETER, MixedPointer( &record ), instance.id, "FF_SET_PARAMETER",
	                    "parameter " + std::to_string( index ) + " = " + FloatText( value ) + " on " + instance.name )
	    .UIntValue;
}

uint32_t CheckSession::SetText( CheckInstance& instance, uint32_t index, const char* text )
{
	SetParameterStruct record = {};
	record.ParameterNumber    = index;
	record.NewParameterValue  = MixedPointer( text );
	instance.changed          = true;
	return GuardedCall( kOtherCall, FF_SET_PARAMETER, MixedPointer( &record ), instance.id, "FF_SET_PARAMETER",
	                    "parameter " + std::to_string( index ) + " = \"" + text + "\" on " + instance.name )
	    .UIntValue;
}

uint32_t CheckSession::Resize( CheckInstance& instance, int w, int h )
{
	FFGLViewportStruct record = { 0, 0, static_cast< uint32_t >( w ), static_cast< uint32_t >( h ) };
	instance.changed          = true;
	return GuardedCall( kOtherCall, FF_RESIZE, MixedPointer( &record ), instance.id, "FF_RESIZE",
	                    instance.name + " to " + SizeText( w, h ) )
	    .UIntValue;
}

uint32_t CheckSession::Deinitialise()
{
	const uint32_t answer =
	    GuardedCall( kOtherCall, FF_DEINITIALISE, MixedNumber( 0 ), nullptr, "FF_DEINITIALISE", "" ).UIntValue;
	initialised = false;
	return answer;
}

uint32_t CheckSession::Initialise()
{
	const uint32_t answer =
	    GuardedCall( kOtherCall, FF_INITIALISE_V2, MixedNumber( 0 ), nullptr, "FF_INITIALISE_V2", "" ).UIntValue;
	initialised = answer == FF_SUCCESS;
	return answer;
}

std::vector< uint32_t > CheckSession::FloatParameters() const
{
	std::vector< uint32_t > indexes;
	for( const ParameterDescription& p : description.parameters )
		if( !( p.typeKnown && IsTextType( p.type ) ) )
			indexes.push_back( p.index );
	return indexes;
}

bool CheckSession::SetDefaults( CheckInstance& instance, std::string* reason )
{
	for( const ParameterDescription& p : description.parameters )
	{
		const bool text = p.typeKnown && IsTextType( p.type );
		const uint32_t answer =
		    text ? SetText( instance, p.index, p.defaultText.c_str() ) : SetFloat( instance, p.index, p.defaultValue );
		if( answer != FF_SUCCESS )
		{
			*reason = "refused its own default for \"" + p.name + "\" (" +
			          ( text ? p.defaultText : FloatText( p.defaultValue ) ) + ")";
			return false;
		}
	}
	return true;
}

bool CheckSession::SetRandomValues( CheckInstance& instance, CheckRandom& dice, std::string* reason,
                                    std::vector< std::pair< uint32_t, float > >* values )
{
	if( values )
		values->clear();
	static const char* const kTexts[] = { "", "a", "Umbra", "0123456789abcdefghijklmnopqrstuvwxyz",
		                                  "caf\xc3\xa9 \xe2\x9c\x93" };
	for( const ParameterDescription& p : description.parameters )
	{
		if( p.typeKnown && IsTextType( p.type ) )
		{
			const char* text = kTexts[ dice.Below( static_cast< int >( sizeof( kTexts ) / sizeof( kTexts[ 0 ] ) ) ) ];
			if( SetText( instance, p.index, text ) != FF_SUCCESS )
			{
				*reason = "refused \"" + p.name + "\" = \"" + text + "\"";
				return false;
			}
			continue;
		}
		const float value = p.typeKnown && p.type == FF_TYPE_BOOLEAN ? static_cast< float >( dice.Below( 2 ) )
		                                                             : dice.Between( p.min, p.max );
		if( SetFloat( instance, p.index, value ) != FF_SUCCESS )
		{
			*reason = "refused \"" + p.name + "\" = " + FloatText( value ) + ", within its range " +
			          FloatText( p.min ) + " to " + FloatText( p.max );
			return false;
		}
		if( values )
			values->emplace_back( p.index, value );
	}
	return true;
}

void CheckSession::PrepareFrame( const FrameLayout& layout, int pictureIndex )
{
	target.Prepare( layout );
	// Every frame afresh: a plug-in that wrote into its input must not change the next frame's.
	target.Upload( layout, InputPicture( pictureIndex, layout.width, layout.height ) );
	target.Clear();
}

uint32_t CheckSession::RawFrame( CheckInstance& instance, const FrameLayout& layout, ProcessOpenGLStruct* record,
                                 const std::string& detail, FrameOutput* output )
{
	PrepareFrame( layout, 0 );
	record->HostFBO = target.Framebuffer();
	const uint32_t answer =
	    GuardedCall( kProcessCall, FF_PROCESS_OPENGL, MixedPointer( record ), instance.id, "FF_PROCESS_OPENGL", detail )
	        .UIntValue;
	if( output )
	{
		output->answer = answer;
		target.Read( layout, *output );
	}
	return answer;
}

void CheckSession::Frame( CheckInstance& instance, const FrameLayout& layout, int pictureIndex, FrameOutput& output )
{
	if( layout.width != instance.lastWidth || layout.height != instance.lastHeight )
		instance.changed = true;
	PrepareFrame( layout, pictureIndex );

	// Time and beat before every frame, as hosts send them; from the picture's number, so that two
	// instances fed the same pictures are told the same time.
	const std::string detail = "frame " + std::to_string( instance.frames + 1 ) + " of " + instance.name + " at " +
	                           SizeText( layout.width, layout.height );
	const double time      = pictureIndex / 60.0;
	SetBeatinfoStruct beat = { 120.f, static_cast< float >( pictureIndex % 8 ) / 8.f };
	GuardedCall( kOtherCall, FF_SET_TIME, MixedPointer( &time ), instance.id, "FF_SET_TIME", detail );
	GuardedCall( kOtherCall, FF_SET_BEATINFO, MixedPointer( &beat ), instance.id, "FF_SET_BEATINFO", detail );

	FFGLTextureStruct texture = { static_cast< uint32_t >( layout.width ), static_cast< uint32_t >( layout.height ),
		                          static_cast< uint32_t >( target.TextureWidth() ),
		                          static_cast< uint32_t >( target.TextureHeight() ), target.InputTexture() };
	FFGLTextureStruct* textures[ 1 ] = { &texture };
	ProcessOpenGLStruct record       = { 1, textures, target.Framebuffer() };
	double milliseconds              = 0.0;
	output.answer = GuardedCall( kProcessCall, FF_PROCESS_OPENGL, MixedPointer( &record ), instance.id,
	                             "FF_PROCESS_OPENGL", detail, &milliseconds )
	                    .UIntValue;
	if( instance.frames == 0 )
		EmitTime( "first_frame", milliseconds );
	else if( !instance.changed && static_cast< long long >( layout.width ) * layout.height <= kSteadyFramePixels )
		EmitTime( "steady_frame", milliseconds );
	++instance.frames;
	instance.changed    = false;
	instance.lastWidth  = layout.width;
	instance.lastHeight = layout.height;
	target.Read( layout, output );
}
}
