#pragma once
// White-box fixtures: plugMain and the core linked into the test, the test plug-in registered.
// Every test starts with no prototype, a fresh test plug-in record and no log callback, and every
// instance it makes is ended by the fixture whatever assertion fails.
#include "ffgl/entry.h"
#include "ffgl/glew_start.h"
#include "ffgl/log.h"
#include "ffgl/prototype.h"
#include "ffgl/registration.h"
#include "tests/ffgl/test_plugin.h"
#include "tests/support/gl_test.h"
#include "tests/support/plugmain_calls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

// plugMain as linked into this test, called as a host calls it.
struct SpineCalls : PlugMainCalls
{
	SpineCalls() { plugMain = &::plugMain; }

	// An instance as the factory makes it, with self set but no GL.
	static std::unique_ptr< TestPlugin > MakeInstance()
	{
		CFFGLPlugin* instance = nullptr;
		CreatePluginInstance< TestPlugin >( &instance );
		instance->self = instance;
		return std::unique_ptr< TestPlugin >( static_cast< TestPlugin* >( instance ) );
	}
	void ResetSpine() const
	{
		Call( FF_DEINITIALISE );
		SetLogCallback( nullptr );
		ResetTestPlugin();
	}
};

class SpineTest : public ::testing::Test, public SpineCalls
{
protected:
	void SetUp() override { ResetSpine(); }
	void TearDown() override { ResetSpine(); }
};

class SpineGLTest : public GLTest, public SpineCalls
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		ResetSpine();
	}
	void TearDown() override
	{
		while( !live.empty() )
			Deinstantiate( live.back() );
		ResetSpine();
	}

	// Code 18 as a host sends it; null when it answers the failure pointer.
	TestPlugin* Instantiate( FFGLViewportStruct vp = { 0, 0, 64, 48 } )
	{
		FFMixed result    = CallWith( FF_INSTANTIATE_GL, &vp );
		lastInstantiation = Bits( result );
		if( lastInstantiation == kFailPointer )
			return nullptr;
		live.push_back( static_cast< TestPlugin* >( result.PointerValue ) );
		return live.back();
	}
	// Code 19; the instance is no longer the fixture's to end.
	uint64_t Deinstantiate( TestPlugin* instance )
	{
		live.erase( std::remove( live.begin(), live.end(), instance ), live.end() );
		return Bits( Call( FF_DEINSTANTIATE_GL, 0, instance ) );
	}

	uint64_t lastInstantiation = 0;
	std::vector< TestPlugin* > live;
};
