// Parameters as hosts drive them: automated at frame rate, at and beyond the ends of their ranges, NaN
// and infinities from a broken controller, and back to the defaults, after which an instance must draw
// what a fresh one draws.
#include "host/check/groups.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace ffglhost
{
namespace
{
// A return to the defaults whose trace stays this small is a warning, anything larger a failure.
const double kTraceShare = 0.01;
const int kTraceSteps    = 8;
const int kAwayFrames    = 3;

const ParameterDescription& Parameter( CheckSession& session, uint32_t index )
{
	for( const ParameterDescription& p : session.Description().parameters )
		if( p.index == index )
			return p;
	return session.Description().parameters.front();
}

bool Boolean( const ParameterDescription& p )
{
	return p.typeKnown && p.type == FF_TYPE_BOOLEAN;
}

// A frame that must be answered, drawn, and premultiplied; false with *reason otherwise.
bool DrawFrame( CheckSession& session, CheckInstance& instance, int picture, const std::string& context,
                std::string* reason )
{
	FrameOutput output;
	session.Frame( instance, PlainLayout( kCheckWidth, kCheckHeight ), picture, output );
	const std::string problem = session.FrameProblemOf( instance, output, kAnswered | kDrawn | kPremultiplied );
	if( problem.empty() )
		return true;
	*reason = context + ": " + problem;
	return false;
}

// A value read back unlike the one set costs a host something only if restoring it (a saved preset)
// draws another picture: two fresh instances given the step's values, one with the value read back
// instead. True, with the difference of their last pictures (saved for the check), when they differ.
bool RestoringDrawsOtherwise( CheckSession& session, const std::vector< std::pair< uint32_t, float > >& values,
                              uint32_t index, float readBack, PictureDifference* difference )
{
	const int frames = session.Plan().framesPerSize;
	Picture pictures[ 2 ];
	const char* const names[ 2 ] = { "an instance given the value set", "an instance given the value read back" };
	for( int i = 0; i < 2; ++i )
	{
		LiveInstance fresh( session, names[ i ] );
		std::string reason;
		if( !fresh.Make( kCheckWidth, kCheckHeight, &reason ) )
			return true; // no way to tell: the read-back stands as wrong
		session.SetDefaults( *fresh, &reason );
		for( const auto& set : values )
			session.SetFloat( *fresh, set.first, set.first == index && i == 1 ? readBack : set.second );
		FrameOutput output;
		for( int frame = 0; frame < frames; ++frame )
			session.Frame( *fresh, PlainLayout( kCheckWidth, kCheckHeight ), frame, output );
		pictures[ i ] = output.picture;
	}
	*difference = ComparePictures( pictures[ 1 ], pictures[ 0 ] );
	if( difference->maxStep <= 1 )
		return false;
	session.SavePictures( names[ 1 ], frames, pictures[ 0 ], pictures[ 1 ] );
	return true;
}

CheckVerdict Automation( CheckSession& session )
{
	CheckInstance& instance = session.SharedInstance();
	const int steps         = session.Plan().randomSteps;
	std::vector< std::pair< uint32_t, float > > values;
	std::string reason;
	bool readBack = false;
	std::string warning;
	for( int step = 0; step < steps; ++step )
	{
		if( !session.SetRandomValues( instance, session.Random(), &reason, &values ) )
			return Fail( reason );
		for( const auto& set : values )
		{
			const ParameterDescription& p = Parameter( session, set.first );
			if( p.typeKnown && p.type != FF_TYPE_STANDARD && !Boolean( p ) )
				continue;
			const FFMixed answer = session.Call( FF_GET_PARAMETER, MixedNumber( set.first ), instance.id,
			                                     "FF_GET_PARAMETER", "\"" + p.name + "\" on " + instance.name );
			if( answer.UIntValue == FF_FAIL )
				continue; // not answered: nothing to compare
			readBack = true;
			float got;
			std::memcpy( &got, &answer.UIntValue, sizeof( got ) );
			if( std::fabs( got - set.second ) <= 1e-4f * std::max( 1.f, std::fabs( set.second ) ) )
				continue;
			const std::string answered = "FF_GET_PARAMETER answers " + FloatText( got ) + " for \"" + p.name +
			                             "\" right after " + FloatText( set.second ) + " was set";
			if( !session.Unrepeatable().empty() )
			{
				if( warning.empty() )
					warning = answered + NotJudged( session, "an instance given " + FloatText( got ) +
					                                             " draws another picture (a host shows and saves it)" );
				continue;
			}
			PictureDifference difference;
			if( RestoringDrawsOtherwise( session, values, set.first, got, &difference ) )
				return Fail( answered + ": hosts show and save what it answers, and an instance given " +
				             FloatText( got ) + " draws another picture (" + DescribeDifference( difference ) + ")" );
			if( warning.empty() )
				warning = answered + ", but an instance given " + FloatText( got ) +
				          " draws the same picture: a host that shows and saves it loses nothing";
		}
		if( !DrawFrame( session, instance, step,
		                "frame " + std::to_string( step + 1 ) + " with every parameter changed", &reason ) )
			return Fail( reason );
	}
	if( !warning.empty() )
		return Warn( warning );
	return Pass( std::to_string( steps ) + " frames with every parameter changed between them" +
	             ( readBack ? ", each value read back" : " (FF_GET_PARAMETER not answered)" ) );
}

// Each float parameter through the values given (relative to its range), the others at their defaults
// meanwhile; refusals are fine, broken frames are not.
CheckVerdict Extremes( CheckSession& session, bool beyond )
{
	CheckInstance& instance = session.SharedInstance();
	std::string reason;
	if( !session.SetDefaults( instance, &reason ) )
		return Fail( reason );
	const float inf = std::numeric_limits< float >::infinity();
	int tried = 0, refused = 0, picture = 0;
	for( uint32_t index : session.FloatParameters() )
	{
		const ParameterDescription& p = Parameter( session, index );
		const float low               = p.hasRange ? p.min : 0.f;
		const float high              = p.hasRange ? p.max : 1.f;
		const float span              = high > low ? high - low : 1.f;
		const std::vector< float > values =
		    beyond
		        ? std::vector< float >{ low, high, low - span, high + span, low - 1000.f * span, high + 1000.f * span }
		        : std::vector< float >{ std::numeric_limits< float >::quiet_NaN(), inf, -inf };
		for( float value : values )
		{
			++tried;
			const bool accepted = session.SetFloat( instance, index, value ) == FF_SUCCESS;
			refused += accepted ? 0 : 1;
			const std::string context = "a frame after \"" + p.name + "\" = " + FloatText( value ) +
			                            ( accepted ? " (accepted)" : " (refused)" );
			if( !DrawFrame( session, instance, picture++, context, &reason ) )
				return Fail( reason +
				             ( beyond ? "" : ": refuse such values, or keep drawing with the last good one" ) );
		}
		session.SetFloat( instance, index, p.defaultValue );
	}
	return Pass( std::to_string( tried ) +
	             ( beyond ? " values at and beyond the ends of the ranges" : " NaNs and infinities" ) + " (" +
	             std::to_string( refused ) + " refused), every frame drawn and premultiplied" );
}

CheckVerdict Edges( CheckSession& session )
{
	return Extremes( session, true );
}

CheckVerdict NotANumber( CheckSession& session )
{
	return Extremes( session, false );
}

// The verdict on an instance that came back to its defaults: a pass when it draws what a fresh one draws.
CheckStatus Compare( const Picture& back, const Picture& fresh, std::string* description )
{
	const PictureDifference difference = ComparePictures( back, fresh );
	if( difference.maxStep <= 1 )
		return CheckStatus::kPass;
	const double share = static_cast< double >( difference.pixels ) / std::max< size_t >( 1, back.rgba.size() / 4 );
	char percent[ 32 ];
	std::snprintf( percent, sizeof( percent ), " (%.2f %% of the picture)", share * 100.0 );
	*description = DescribeDifference( difference ) + percent;
	return share <= kTraceShare && difference.maxStep <= kTraceSteps ? CheckStatus::kWarn : CheckStatus::kFail;
}

// For an effect that does not draw twice alike: back at its defaults, the instance draws every frame.
CheckVerdict DefaultsDrawn( CheckSession& session, CheckInstance& automated, int frames )
{
	std::string reason;
	if( !session.SetDefaults( automated, &reason ) )
		return Fail( reason );
	FrameOutput back;
	for( int frame = 0; frame < frames; ++frame )
	{
		session.Frame( automated, PlainLayout( kCheckWidth, kCheckHeight ), frame, back );
		const std::string problem = session.FrameProblemOf( automated, back, kAnswered | kDrawn );
		if( !problem.empty() )
			return Fail( "back at the defaults after random automation, edges and NaNs, frame " +
			             std::to_string( frame + 1 ) + ": " + problem );
	}
	return Warn( "back at the defaults after random automation, edges and NaNs, the instance drew " +
	             std::to_string( frames ) + " frames" + NotJudged( session, "it draws what a fresh one draws" ) );
}

// One check, the automated instance against a fresh one frame by frame: kept whole to read as a host acts.
CheckVerdict Defaults( CheckSession& session )
{
	CheckInstance& automated = session.SharedInstance();
	const int settle         = session.Plan().settleFrames;
	if( !session.Unrepeatable().empty() )
		return DefaultsDrawn( session, automated, kAwayFrames + settle );
	std::string reason, difference;
	// A fresh instance's frames: away frames then settle frames, all at the defaults.
	FrameRun run;
	run.layout  = PlainLayout( kCheckWidth, kCheckHeight );
	run.frames  = kAwayFrames + settle;
	run.demands = kAnswered | kDrawn;
	FrameOutput fresh, back;
	if( !RunFreshInstance( session, run, "a fresh instance", &fresh, &reason ) )
		return Fail( reason );
	// The instance of the checks before, back to its defaults for the same frames.
	if( !session.SetDefaults( automated, &reason ) )
		return Fail( reason );
	for( int frame = 0; frame < run.frames; ++frame )
		session.Frame( automated, run.layout, frame, back );
	CheckStatus worst = Compare( back.picture, fresh.picture, &difference );
	if( worst != CheckStatus::kPass )
		session.SavePictures( automated.name, automated.frames, fresh.picture, back.picture );
	std::string worstWhat       = "after random automation, edges and NaNs";
	std::string worstDifference = difference;

	// Then one parameter at a time: away from its default for a few frames, and back.
	for( uint32_t index : session.FloatParameters() )
	{
		const ParameterDescription& p = Parameter( session, index );
		float away = Boolean( p ) ? ( p.defaultValue > 0.5f ? 0.f : 1.f ) : session.Random().Between( p.min, p.max );
		LiveInstance instance( session, "an instance for \"" + p.name + "\"" );
		if( !instance.Make( kCheckWidth, kCheckHeight, &reason ) )
			return Fail( reason );
		session.SetFloat( *instance, index, away );
		for( int frame = 0; frame < run.frames; ++frame )
		{
			if( frame == kAwayFrames )
				session.SetFloat( *instance, index, p.defaultValue );
			session.Frame( *instance, run.layout, frame, back );
		}
		const CheckStatus status = Compare( back.picture, fresh.picture, &difference );
		if( status != CheckStatus::kPass )
			session.SavePictures( instance->name, instance->frames, fresh.picture, back.picture );
		if( Worse( status, worst ) )
		{
			worst     = status;
			worstWhat = "after \"" + p.name + "\" went to " + FloatText( away ) + " for " +
			            std::to_string( kAwayFrames ) + " frames and back";
			worstDifference = difference;
		}
	}
	const std::string frames = std::to_string( settle ) + " frames at the defaults";
	if( worst == CheckStatus::kPass )
		return Pass( "after " + frames + " every instance drew what a fresh one draws, within one step" );
	if( worst == CheckStatus::kWarn )
		return Warn( worstWhat + ", " + frames + " later the instance still differs from a fresh one by " +
		             worstDifference +
		             ": a trace of its past stays (rounding in a temporal filter keeps it within a few steps of, but "
		             "not at, a fresh instance's picture)" );
	return Fail( worstWhat + ", " + frames + " later the instance draws differently from a fresh one: " +
	             worstDifference + ": some state survives the return to the defaults" );
}
}

CheckGroup ParametersGroup()
{
	return { "parameters",
		     GroupStart::kInstance,
		     true,
		     { { "parameters.automation", "every parameter changed before every frame, read back", Automation },
		       { "parameters.edges", "values at and far beyond the ends of each range", Edges },
		       { "parameters.nan", "NaN and infinities", NotANumber },
		       { "parameters.defaults", "back to the defaults after all that, and after each parameter alone",
		         Defaults } } };
}
}
