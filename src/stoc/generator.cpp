// Generator objects: type dispatch, seeding and the process-wide critical
// section that serialises draws from shared generators.
#include "stoc/generator.hpp"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "stoc/sample.hpp"

namespace tarvo::stoc {
namespace {

// A spin lock: draws are a few nanoseconds, far shorter than a sleep.
std::atomic_flag g_draw_lock = ATOMIC_FLAG_INIT;

struct DrawGuard {
  DrawGuard() {
    while (g_draw_lock.test_and_set(std::memory_order_acquire))
      while (g_draw_lock.test(std::memory_order_relaxed)) {
      }
  }
  ~DrawGuard() { g_draw_lock.clear(std::memory_order_release); }
  DrawGuard(const DrawGuard &) = delete;
  DrawGuard &operator=(const DrawGuard &) = delete;
};

void seed_engine(Generator &g, std::uint32_t seed) {
  const auto as_signed = static_cast<std::int32_t>(seed);
  switch (g.type) {
    case 0: std::srand(seed); break;
    case 1: mrg_seed(g.mrg, seed); break;
    case 2: lcg_seed(g.lcg, seed); break;
    case 3: shuffle_seed(g.shuffle, as_signed); break;
    case 4: subtractive_seed(g.subtractive, as_signed); break;
    case 5: lagged_seed(g.lagged, seed); break;
    default:
      if (g.parallel)
        parallel_seed(*g.parallel, seed);
      else
        twister_seed(g.twister, seed);
      break;
  }
  g.engine_seeded = true;
}

double draw_locked(Generator &g) {
  if (!g.engine_seeded && g.type >= 1 && g.type <= 5) seed_engine(g, kTwisterDefaultSeed);
  switch (g.type) {
    case 1: return mrg_draw(g.mrg);
    case 2: return lcg_draw(g.lcg);
    case 3: return shuffle_draw(g.shuffle);
    case 4: return subtractive_draw(g.subtractive);
    case 5: return lagged_draw(g.lagged);
    default:
      if (g.parallel) return parallel_draw(*g.parallel);
      return twister_next(g.twister) * kTwisterScale;
  }
}

}  // namespace

std::unique_ptr<Generator> make_generator(base::Env *env, int type, int threads, int buffer_size) {
  if (type == -1) type = 6;
  if (type < 0 || type > kMaxGeneratorType) return nullptr;
  auto g = std::make_unique<Generator>();
  g->env = env;
  g->type = type;
  if (type == 6 && threads > 1) {
    g->threads = threads;
    g->parallel = std::make_unique<ParallelTwister>();
    parallel_setup(*g->parallel, threads, buffer_size);
  }
  return g;
}

void seed_generator(Generator &g, std::int32_t seed) {
  std::uint32_t value = static_cast<std::uint32_t>(seed);
  if (seed == 0) value = static_cast<std::uint32_t>(std::llabs(static_cast<long long>(std::time(nullptr))));
  {
    DrawGuard hold;
    seed_engine(g, value);
  }
  g.init_seed = value;
}

double draw_uniform(Generator &g) {
  // The C runtime generator keeps its own state; its range is [0, RAND_MAX].
  if (g.type == 0) return std::rand() / static_cast<double>(RAND_MAX);
  DrawGuard hold;
  return draw_locked(g);
}

int draw_integer(Generator &g, int low, int high) {
  if (low >= high) return low;
  double u = draw_uniform(g);
  double span = static_cast<double>(high) - static_cast<double>(low) + 1.0;
  double k = static_cast<double>(low) + std::trunc(u * span);
  return k >= high ? high : static_cast<int>(k);
}

bool refill_buffer(Generator &g) {
  if (!g.parallel) return false;
  DrawGuard hold;
  parallel_fill(*g.parallel);
  return true;
}

void release_generator(Generator *g) {
  if (!g) return;
  if (g->distribution) delete_sample(g->distribution);
  g->distribution = nullptr;
  delete g;
}

}  // namespace tarvo::stoc
