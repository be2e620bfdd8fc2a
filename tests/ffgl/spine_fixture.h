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
#include "tests/support/live_instances.h"
#include "tests/support/plugmain_calls.h"

#include <gtest/gtest.h>

#include <memory>

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
		instances.DeinstantiateAll( *this );
		ResetSpine();
	}

	// Code 18 as a host sends it; null when it answers the failure pointer.
	TestPlugin* Instantiate( FFGLViewportStruct vp = { 0, 0, 64, 48 } )
	{
		const FFMixed result = instances.Instantiate( *this, vp );
		lastInstantiation    = Bits( result );
		return IsInstance( result ) ? static_cast< TestPlugin* >( result.PointerValue ) : nullptr;
	}
	uint64_t Deinstantiate( TestPlugin* instance ) { return Bits( instances.Deinstantiate( *this, instance ) ); }

	uint64_t lastInstantiation = 0;
	LiveInstances instances;
};
