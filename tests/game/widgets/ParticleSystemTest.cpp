#include "AllocationCounter.h"
#include "ParticleTestSupport.h"

#include "game/core/GameRandom.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "ui/FImageWidget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>

namespace {

// A pool, a group on a stage and the per-frame order of an owner that
// updates its emitters after the particles.
struct ParticleScene
{
    ParticleStage stage;
    FRefT<FImage> image = solidImage(8, 8);
    ParticlePool pool;
    ParticleGroup group;
    std::vector<std::unique_ptr<ParticleEmitter>> emitters;

    ParticleScene(int32_t particles, int32_t records) : pool(particles), group(records, &stage)
    {
        GameRandom::srand(7);
    }

    ParticleEmitter& add(int32_t duration, int32_t type, FPointI start, bool repeat = false,
                         int32_t delay = 0)
    {
        emitters.push_back(std::make_unique<ParticleEmitter>(duration, &pool, &group, image, start.x, start.y,
                                                             type, repeat, delay));
        return *emitters.back();
    }

    void frame(int32_t ms)
    {
        pool.update(ms, group);
        group.update(ms);
        group.applyRecords();
        for (auto& emitter : emitters)
            emitter->update(ms);
    }
};

TEST(ParticlePoolTest, PoolOfThreeLendsTwoUntilOneRetires)
{
    ParticleStage stage;
    ParticleGroup group(4, &stage);
    ParticlePool pool(3);
    ParticleRecord* first = pool.take();
    ParticleRecord* second = pool.take();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(first->active && first->emitting);
    EXPECT_EQ(pool.take(), nullptr);

    first->emitting = false; // no sprites: the next update retires it
    pool.update(20, group);
    EXPECT_FALSE(first->active);
    EXPECT_EQ(pool.lentCount(), 1);
    EXPECT_EQ(pool.take(), first);
    EXPECT_EQ(pool.take(), nullptr);

    // Filling the list again keeps its order and its storage.
    pool.initFreeList();
    EXPECT_EQ(pool.lentCount(), 0);
    for (const ParticleRecord& particle : pool.particles())
        EXPECT_FALSE(particle.active || particle.emitting);
    EXPECT_EQ(pool.take(), &pool.particles()[0]);
    EXPECT_EQ(pool.take(), &pool.particles()[1]);
}

TEST(ParticlePoolTest, NewParticlesCarryTheRecordDefaults)
{
    ParticlePool pool(2);
    const ParticleRecord& p = pool.particles()[0];
    EXPECT_EQ(p.colour, 0xFF000000u);
    EXPECT_FALSE(p.useColour);
    EXPECT_EQ(p.blendMode, 0);
    EXPECT_EQ(p.spreadWidth, 2050000);
    EXPECT_EQ(p.spreadHeight, 2050000);
    EXPECT_EQ(p.velocitySpreadX, 250000);
    EXPECT_EQ(p.velocitySpreadY, 250000);
    EXPECT_EQ(p.lifetimeRange, 2200);
    EXPECT_EQ(p.lifetimeMin, 220);
    EXPECT_EQ(p.accelerationY, 1000);
    EXPECT_FLOAT_EQ(p.spin, 2.0f);
    EXPECT_EQ(p.sizeBase, 4);
    EXPECT_EQ(p.sizeGrowth, 128);
    EXPECT_EQ(p.image.get(), nullptr);
}

TEST(ParticleSpriteTest, AlphaFallsFrom255ToZeroOverTheLifetime)
{
    struct Case
    {
        uint32_t age;
        uint32_t lifetime;
        int32_t alpha;
    };
    const Case cases[] = {
        {0, 1000, 255},
        {500, 1000, 127},
        {999, 1000, 0},
        {0, 1, 255},
        // Past a minute the product would overflow 32 bits.
        {60000, 120000, 127},
        // Late in the life the divisor shows: 58982 / 256 and 64880 / 256.
        {900, 1000, 25},
        {990, 1000, 2},
        {750, 1000, 63},
        // A record of no lifetime is at its end.
        {0, 0, 0},
    };
    for (const Case& c : cases) {
        ParticleSpriteRecord record;
        record.age = c.age;
        record.lifetime = c.lifetime;
        EXPECT_EQ(record.alpha(), c.alpha) << c.age << "/" << c.lifetime;
    }
}

TEST(ParticleSpriteTest, AnEmittedSpriteDrawsItsRandomsInOrder)
{
    // Spreads of different sizes on each axis, so that values drawn in the
    // wrong order land in the wrong field.
    ParticleScene scene(3, 8);
    ParticleEmitter& emitter = scene.add(1000, ParticleEmitter::k_point, {100, 50});
    emitter.spreadWidth = 3;
    emitter.spreadHeight = 7;
    emitter.velocitySpreadX = 1000;
    emitter.velocitySpreadY = 300000;
    emitter.lifetimeRange = 900;
    emitter.lifetimeMin = 50;
    emitter.rate = 10;
    emitter.restart();
    for (const uint32_t seed : {1u, 99u, 31337u}) {
        GameRandom::srand(seed);
        const int32_t before = scene.group.liveCount();
        scene.pool.update(10, scene.group);
        ASSERT_EQ(scene.group.liveCount(), before + 1);
        const ParticleSpriteRecord* record = nullptr;
        for (const ParticleSpriteRecord& r : scene.group.records())
            if (r.live && r.age == 0) record = &r;
        ASSERT_NE(record, nullptr);
        GameRandom::srand(seed);
        int32_t d[10];
        for (int32_t& value : d)
            value = GameRandom::rand();
        const int32_t x0 = emitter.particle()->x;
        const int32_t y0 = emitter.particle()->y;
        EXPECT_EQ(record->spinPhase, d[0]);
        EXPECT_EQ(record->x, x0 + (d[1] * d[2]) % (3 * 65536) - 3 * 65536 / 2);
        EXPECT_EQ(record->y, y0 + (d[3] * d[4]) % (7 * 65536) - 7 * 65536 / 2);
        EXPECT_EQ(record->lifetime, static_cast<uint32_t>(d[5] % 900 + 50));
        EXPECT_EQ(record->vx, (d[6] * d[7]) % 1000 - 500) << seed;
        EXPECT_EQ(record->vy, (d[8] * d[9]) % 300000 - 150000) << seed;
    }
}

TEST(ParticleSpriteTest, SpriteFadesShrinksAndHidesWhenDead)
{
    ParticleScene scene(3, 8);
    ParticleEmitter& emitter = scene.add(1000, ParticleEmitter::k_point, {100, 50});
    emitter.spreadWidth = 0;
    emitter.spreadHeight = 0;
    emitter.velocitySpreadX = 0;
    emitter.velocitySpreadY = 0;
    emitter.lifetimeRange = 1;
    emitter.lifetimeMin = 100;
    emitter.sizeBase = 2;
    emitter.sizeGrowth = 64;
    emitter.additiveBlend = true;
    emitter.rate = 10; // alone in the pool: one sprite per 10 ms
    emitter.restart();
    scene.pool.update(10, scene.group);
    emitter.stop();
    ASSERT_EQ(scene.group.liveCount(), 1);
    const ParticleSpriteRecord& record = scene.group.records()[0];
    ASSERT_TRUE(record.live);
    FImageWidget* widget = record.sprite.get();
    EXPECT_FALSE(widget->isVisible()); // shown by the next apply
    scene.group.applyRecords();
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->colour() >> 24, 255u);
    EXPECT_EQ(widget->rect(), (FRectI{100, 50, 100 + 2 + 63, 50 + 2 + 63}));
    EXPECT_EQ(widget->blendMode(), FImageWidget::k_blendAdditive);

    scene.group.update(50);
    scene.group.applyRecords();
    EXPECT_EQ(widget->colour() >> 24, 127u); // 255 - (50 x 65536 / 100) / 256
    EXPECT_EQ(widget->width(), 2 + (64 * 127 >> 8));

    scene.group.update(50);
    scene.group.applyRecords();
    EXPECT_FALSE(record.live);
    EXPECT_FALSE(widget->isVisible());
    EXPECT_EQ(scene.group.liveCount(), 0);
    scene.pool.update(20, scene.group);
    EXPECT_EQ(scene.pool.lentCount(), 0); // retired with its last sprite
}

TEST(ParticleEmitterTest, TwoEmittersOfEqualRateEmitOneSpriteEachPerFrame)
{
    ParticleScene scene(3, 64);
    ParticleEmitter& a = scene.add(1000, ParticleEmitter::k_point, {10, 10});
    ParticleEmitter& b = scene.add(1000, ParticleEmitter::k_point, {300, 10});
    a.restart();
    b.restart();
    for (int32_t frame = 1; frame <= 5; ++frame) {
        scene.frame(20);
        EXPECT_EQ(a.particle()->liveRecords, frame);
        EXPECT_EQ(b.particle()->liveRecords, frame);
        EXPECT_EQ(scene.group.liveCount(), 2 * frame);
    }
}

TEST(ParticleEmitterTest, LinePathHasOnePointPerStepAndEndsOnTheEndPoint)
{
    struct Case
    {
        int32_t duration;
        FPointI end;
        size_t points;
        FPointI secondLast;
    };
    const Case cases[] = {
        {1000, {400, 200}, 41, {390, 195}},
        {25, {400, 200}, 2, {0, 0}},
        // Under one step there is no step to divide by: only the end point.
        {24, {400, 200}, 1, {400, 200}},
        {0, {400, 200}, 1, {400, 200}},
        {100, {0, 0}, 5, {0, 0}},
    };
    for (const Case& c : cases) {
        ParticleScene scene(3, 8);
        ParticleEmitter& emitter = scene.add(c.duration, ParticleEmitter::k_line, {0, 0});
        emitter.endX = c.end.x;
        emitter.endY = c.end.y;
        emitter.restart();
        ASSERT_EQ(emitter.path().size(), c.points) << c.duration;
        EXPECT_EQ(emitter.path().back(), c.end) << c.duration;
        EXPECT_EQ(emitter.path()[c.points >= 2 ? c.points - 2 : 0], c.secondLast) << c.duration;
        EXPECT_TRUE(emitter.isMoving());
        EXPECT_EQ(emitter.particle()->x, c.points >= 2 ? 0 : c.end.x << 16);
    }
}

TEST(ParticleEmitterTest, PathAdvancesOnlyAfterMoreThanOneStep)
{
    ParticleScene scene(3, 8);
    ParticleEmitter& emitter = scene.add(1000, ParticleEmitter::k_line, {0, 0});
    emitter.endX = 400;
    emitter.endY = 0;
    emitter.restart();
    emitter.update(25);
    EXPECT_EQ(emitter.pathIndex(), 0u); // exactly 25 ms is not past the step
    for (uint32_t frame = 1; frame <= 4; ++frame) {
        emitter.update(25);
        EXPECT_EQ(emitter.pathIndex(), frame);
        EXPECT_EQ(emitter.currentPoint(), (FPointI{int32_t(frame) * 10, 0}));
        EXPECT_EQ(emitter.particle()->x, (int32_t(frame) * 10) << 16);
    }
}

TEST(ParticleEmitterTest, FinishingLeavesTheParticleOnTheEndAndCallsBack)
{
    ParticleScene scene(3, 8);
    ParticleEmitter& emitter = scene.add(100, ParticleEmitter::k_line, {0, 0});
    emitter.endX = 40;
    emitter.endY = 8;
    int32_t finished = 0;
    struct Counter
    {
        int32_t* count;
        void hit() { ++*count; }
    } counter{&finished};
    auto* callback = makeObjectDelegate(&counter, &Counter::hit);
    emitter.setOnFinished(callback);
    engineFree(callback);
    emitter.restart();
    for (int i = 0; i < 10; ++i)
        emitter.update(20);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(emitter.isMoving());
    EXPECT_EQ(emitter.currentPoint(), (FPointI{40, 8}));
    EXPECT_EQ(emitter.pathIndex(), 4u);
}

TEST(ParticleEmitterTest, WaveAndCirclePaths)
{
    ParticleScene scene(4, 8);
    ParticleEmitter& wave = scene.add(1000, ParticleEmitter::k_wave, {0, 100});
    wave.endX = 400;
    wave.endY = 100;
    wave.setWave(30, 400, 0.0f);
    wave.restart();
    ASSERT_EQ(wave.path().size(), 41u);
    // Horizontal line: the normal is (0, 1), so the wave shows in y only.
    EXPECT_EQ(wave.path()[0], (FPointI{0, 100}));
    EXPECT_EQ(wave.path()[10].x, 100);
    EXPECT_NEAR(wave.path()[10].y, 130, 1); // a quarter turn in
    EXPECT_EQ(wave.path()[20].x, 200);
    EXPECT_NEAR(wave.path()[20].y, 100, 1);

    ParticleEmitter& circle = scene.add(100, ParticleEmitter::k_circle, {50, 50});
    circle.setCircle(10, 0.0f);
    circle.restart();
    ASSERT_EQ(circle.path().size(), 4u); // not closed
    const FPointI expected[] = {{60, 50}, {50, 60}, {40, 50}, {50, 40}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(circle.path()[i].x, expected[i].x, 1) << i;
        EXPECT_NEAR(circle.path()[i].y, expected[i].y, 1) << i;
    }
}

TEST(ParticleEmitterTest, ShapeSettersIgnoreWrongTypesAndValues)
{
    struct Case
    {
        const char* name;
        int32_t type;
        bool wave;
        int32_t amplitude;
        int32_t waveLength;
        float angle;
        bool shapeSet;
    };
    const Case cases[] = {
        {"circle at 0", ParticleEmitter::k_circle, false, 0, 0, 0.0f, true},
        {"circle at 2 pi", ParticleEmitter::k_circle, false, 0, 0, 6.2831855f, false},
        {"circle below 0", ParticleEmitter::k_circle, false, 0, 0, -0.1f, false},
        {"circle on a line", ParticleEmitter::k_line, false, 0, 0, 1.0f, false},
        {"wave", ParticleEmitter::k_wave, true, 5, 100, 0.0f, true},
        {"wave of no amplitude", ParticleEmitter::k_wave, true, 0, 100, 0.0f, false},
        {"wave of no length", ParticleEmitter::k_wave, true, 5, 0, 0.0f, false},
        {"wave on a circle", ParticleEmitter::k_circle, true, 5, 100, 0.0f, false},
    };
    for (const Case& c : cases) {
        ParticleScene scene(3, 8);
        ParticleEmitter& emitter = scene.add(1000, c.type, {5, 5});
        if (c.wave) {
            emitter.setWave(c.amplitude, c.waveLength, 0.0f);
        } else {
            emitter.setCircle(10, c.angle);
        }
        EXPECT_EQ(emitter.isShapeSet(), c.shapeSet) << c.name;
    }
}

// A path that cannot be built has no first point: the emitter does not
// start and its particle emits nothing.
TEST(ParticleEmitterTest, EmittersWithoutAPathEmitNothing)
{
    struct Case
    {
        const char* name;
        int32_t type;
        int32_t duration;
        bool shape;
    };
    const Case cases[] = {
        {"wave without shape", ParticleEmitter::k_wave, 1000, false},
        {"circle without shape", ParticleEmitter::k_circle, 1000, false},
        {"circle under one step", ParticleEmitter::k_circle, 24, true},
    };
    for (const Case& c : cases) {
        ParticleScene scene(3, 16);
        ParticleEmitter& emitter = scene.add(c.duration, c.type, {20, 20});
        if (c.shape) emitter.setCircle(10, 0.0f);
        emitter.restart();
        EXPECT_TRUE(emitter.path().empty()) << c.name;
        EXPECT_FALSE(emitter.isMoving()) << c.name;
        for (int i = 0; i < 10; ++i)
            scene.frame(20);
        EXPECT_EQ(scene.group.liveCount(), 0) << c.name;
        EXPECT_EQ(scene.pool.lentCount(), 0) << c.name; // the idle particle was retired
    }
    // A wave along a line of no length stays on its points.
    ParticleScene scene(3, 16);
    ParticleEmitter& wave = scene.add(100, ParticleEmitter::k_wave, {20, 20});
    wave.endX = 20;
    wave.endY = 20;
    wave.setWave(10, 50, 0.25f);
    wave.restart();
    ASSERT_EQ(wave.path().size(), 5u);
    for (const FPointI& point : wave.path())
        EXPECT_EQ(point, (FPointI{20, 20}));
}

// Pools lend one particle less than they hold, so an emitter may find none.
TEST(ParticleEmitterTest, EmitterOnAnExhaustedPoolEmitsNothing)
{
    ParticleScene scene(3, 32);
    ParticleEmitter& a = scene.add(1000, ParticleEmitter::k_point, {10, 10});
    ParticleEmitter& b = scene.add(1000, ParticleEmitter::k_point, {20, 10});
    ParticleEmitter& starved = scene.add(1000, ParticleEmitter::k_line, {30, 10}, true, 0);
    ParticleEmitter& follower = scene.add(1000, ParticleEmitter::k_point, {0, 0});
    EXPECT_EQ(starved.particle(), nullptr);
    EXPECT_EQ(follower.particle(), nullptr);
    a.restart();
    b.restart();
    starved.endX = 200;
    starved.restart();
    follower.follow(&scene.stage, 0, 0, false);
    for (int i = 0; i < 60; ++i)
        scene.frame(20);
    EXPECT_EQ(starved.particle(), nullptr);
    EXPECT_EQ(follower.particle(), nullptr);
    for (const ParticleSpriteRecord& record : scene.group.records()) {
        if (!record.live) continue;
        EXPECT_TRUE(record.owner == a.particle() || record.owner == b.particle());
    }
    starved.stop();
    follower.onRepeatTimer();

    ParticleScene empty(1, 8);
    ParticleEmitter& none = empty.add(100, ParticleEmitter::k_circle, {5, 5}, true, 10);
    none.setCircle(4, 0.0f);
    none.restart();
    for (int i = 0; i < 20; ++i)
        empty.frame(20);
    EXPECT_EQ(empty.group.liveCount(), 0);
}

TEST(ParticleEmitterTest, RepeatingPointEmitterWaitsAndTakesANewParticle)
{
    ParticleScene scene(4, 64);
    ParticleEmitter& emitter = scene.add(100, ParticleEmitter::k_point, {40, 40}, true, 200);
    emitter.restart();
    ParticleRecord* first = emitter.particle();
    int32_t frames = 0;
    while (emitter.isMoving() && frames < 100) {
        scene.frame(20);
        ++frames;
    }
    EXPECT_EQ(frames, 5);
    for (int i = 0; i < 9; ++i)
        scene.frame(20);
    EXPECT_FALSE(emitter.isMoving()); // 180 of 200 ms waited
    scene.frame(20);
    EXPECT_TRUE(emitter.isMoving());
    ASSERT_NE(emitter.particle(), nullptr);
    EXPECT_NE(emitter.particle(), first);
    EXPECT_TRUE(emitter.particle()->emitting);
    EXPECT_FALSE(first->emitting);
}

// A stopped emitter whose particle the pool has retired and lent to another
// emitter starts again with a particle of its own; one still draining is
// set emitting again.
TEST(ParticleEmitterTest, RestartAfterStopReArmsAndNeverSharesAParticle)
{
    ParticleScene scene(4, 64);
    ParticleEmitter& sweep = scene.add(100, ParticleEmitter::k_line, {0, 0});
    sweep.endX = 100;
    sweep.lifetimeRange = 1;
    sweep.lifetimeMin = 40;
    sweep.restart();
    for (int i = 0; i < 8; ++i)
        scene.frame(20);
    ParticleRecord* old = sweep.particle();
    ASSERT_NE(old, nullptr);
    sweep.stop();
    // Stopped and restarted while its sprites still live: it emits again.
    sweep.restart();
    EXPECT_EQ(sweep.particle(), old);
    EXPECT_TRUE(old->emitting);
    EXPECT_EQ(old->elapsed, 0);
    scene.frame(20);
    EXPECT_GT(old->liveRecords, 0);

    sweep.stop();
    for (int i = 0; i < 10; ++i)
        scene.frame(20);
    EXPECT_FALSE(old->active); // retired once its sprites died
    EXPECT_EQ(sweep.particle(), nullptr);

    ParticleEmitter& other = scene.add(1000, ParticleEmitter::k_point, {300, 300});
    EXPECT_EQ(other.particle(), old); // the pool lends the retired one again
    other.restart();
    sweep.restart();
    ASSERT_NE(sweep.particle(), nullptr);
    EXPECT_NE(sweep.particle(), other.particle());
    scene.frame(20);
    scene.frame(20);
    EXPECT_GT(sweep.particle()->liveRecords, 0);
    EXPECT_EQ(other.particle()->x, 300 << 16); // not moved by the sweep
    EXPECT_EQ(other.currentPoint(), (FPointI{300, 300}));
}

TEST(ParticleEmitterTest, FollowKeepsTheSpreadBoxOnTheTargetCentre)
{
    ParticleScene scene(3, 16);
    auto* target = new FImageWidget(&scene.stage);
    std::unique_ptr<FImageWidget> owned(target);
    target->setWidgetRect({100, 100, 140, 120});
    scene.group.layer()->bringToFront();
    ParticleEmitter& emitter = scene.add(200, ParticleEmitter::k_point, {0, 0});
    emitter.spreadWidth = 10;
    emitter.spreadHeight = 6;
    emitter.follow(target, 3, 4, true);
    EXPECT_EQ(emitter.currentPoint(), (FPointI{3 + 120 - 5, 4 + 110 - 3}));
    target->setWidgetRect({200, 100, 240, 120});
    scene.frame(20);
    EXPECT_EQ(emitter.currentPoint(), (FPointI{3 + 220 - 5, 4 + 110 - 3}));
    // The layer sits just below the followed widget.
    const auto& children = scene.stage.children();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0], scene.group.layer());
    EXPECT_EQ(children[1], target);
    for (int i = 0; i < 10; ++i)
        scene.frame(20);
    EXPECT_FALSE(emitter.isMoving());
}

// Random settings, including zero spreads and ranges, steps shorter than a
// path step, equal start and end points and starved pools: nothing crashes,
// the bookkeeping holds and frames allocate nothing.
TEST(ParticleEmitterTest, RandomSettingsNeverCrashOrAllocatePerFrame)
{
    std::mt19937 random(20261210);
    auto pick = [&random](std::initializer_list<int32_t> values) {
        std::uniform_int_distribution<size_t> index(0, values.size() - 1);
        return *(values.begin() + index(random));
    };
    for (int round = 0; round < 150; ++round) {
        ParticleScene scene(pick({1, 2, 3, 5}), pick({1, 16, 64}));
        GameRandom::srand(static_cast<uint32_t>(round));
        const int32_t emitterCount = pick({1, 2, 3});
        for (int32_t e = 0; e < emitterCount; ++e) {
            const FPointI start{pick({0, 17, 300}), pick({0, 40})};
            ParticleEmitter& emitter = scene.add(pick({0, 10, 24, 25, 26, 100, 700}), pick({0, 1, 2, 3}),
                                                 start, pick({0, 1}) == 1, pick({0, 30}));
            emitter.endX = pick({0, 1}) == 1 ? start.x : pick({-50, 400});
            emitter.endY = pick({0, 1}) == 1 ? start.y : pick({-20, 200});
            emitter.spreadWidth = pick({0, 1, 150});
            emitter.spreadHeight = pick({0, 1, 15});
            emitter.velocitySpreadX = pick({0, 1, 3000, 100000});
            emitter.velocitySpreadY = pick({0, 1, 100000});
            emitter.lifetimeRange = pick({0, 1, 1000});
            emitter.lifetimeMin = pick({0, 1, 100});
            emitter.accelerationX = pick({0, 10, -5000});
            emitter.accelerationY = pick({0, 2000});
            emitter.rate = pick({0, 1, 30, 256, 450});
            emitter.spin = pick({0, 7});
            emitter.sizeBase = pick({0, 1, 8});
            emitter.sizeGrowth = pick({0, 20});
            emitter.additiveBlend = pick({0, 1}) == 1;
            if (pick({0, 1, 1}) == 1) {
                emitter.setWave(pick({0, 30}), pick({0, 200}), 0.5f);
                emitter.setCircle(pick({0, 40}), 1.0f);
            }
            if (pick({0, 1, 1, 1}) == 1) {
                emitter.restart();
            } else {
                emitter.follow(&scene.stage, 5, 5, pick({0, 1}) == 1);
            }
        }
        int64_t allocations = 0;
        for (int frame = 0; frame < 80; ++frame) {
            const int32_t ms = pick({0, 1, 20, 25, 120});
            const int32_t action = pick({0, 0, 0, 0, 0, 0, 1, 2});
            {
                AllocationScope scope;
                scene.frame(ms);
                allocations += scope.count();
            }
            // The sweep's pattern: stop and start again. A path is built on
            // the first start only; later starts reuse its storage.
            ParticleEmitter& emitter = *scene.emitters[size_t(frame) % scene.emitters.size()];
            const bool built = emitter.path().capacity() > 0;
            AllocationScope scope;
            if (action == 1) emitter.stop();
            if (action == 2) emitter.restart();
            if (built) allocations += scope.count();
        }
        EXPECT_EQ(allocations, 0) << "round " << round;

        int32_t owned = 0;
        for (const ParticleRecord& particle : scene.pool.particles())
            owned += particle.active ? particle.liveRecords : 0;
        int32_t live = 0;
        for (const ParticleSpriteRecord& record : scene.group.records())
            live += record.live ? 1 : 0;
        EXPECT_EQ(live, scene.group.liveCount()) << "round " << round;
        EXPECT_EQ(owned, live) << "round " << round;
        EXPECT_LE(scene.pool.lentCount(), std::max(scene.pool.capacity() - 1, 0)) << "round " << round;
        std::set<ParticleRecord*> held;
        for (const auto& emitter : scene.emitters) {
            if (ParticleRecord* particle = emitter->particle()) {
                EXPECT_TRUE(held.insert(particle).second) << "round " << round << ": a particle is shared";
            }
        }
    }
}

} // namespace
