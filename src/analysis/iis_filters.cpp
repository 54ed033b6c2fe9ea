// Deletion, additive, generalized binary search, depth-first binary search
// (divide and conquer on the candidate list), fast scan and elastic filters,
// and the sensitivity filter they share. Necessity is monotone: a member
// whose removal made a set feasible stays necessary in every subset that
// keeps it, so members can be declared necessary before the others are
// decided.
#include "analysis/iis_filters.hpp"

#include <algorithm>
#include <deque>

#include "common/error_codes.hpp"

namespace tarvo::analysis {
namespace {

using Members = std::vector<int>;

void switch_all(ElasticLp &lp, const Members &ids, MemberState s) {
  for (int id : ids) lp.set_state(id, s);
}

// Members of `ids` still switched on.
Members still_on(const ElasticLp &lp, const Members &ids) {
  Members out;
  for (int id : ids)
    if (lp.state(id) != MemberState::kOff) out.push_back(id);
  return out;
}

// Sensitivity step inside a filter, over the members in `pending`.
int drop_insensitive(FilterEnv &env, const Members &pending) {
  if (!env.sensitivity) return 0;
  Members open = still_on(env.lp, pending);
  return sensitivity_filter(env, open);
}

int deletion(FilterEnv &env, Members &cand, Members &necessary) {
  ElasticLp &lp = env.lp;
  for (size_t k = 0; k < cand.size(); ++k) {
    const int id = cand[k];
    if (lp.state(id) == MemberState::kOff) continue;  // dropped by the sensitivity filter
    lp.set_state(id, MemberState::kOff);
    const Verdict v = lp.test();
    if (v == Verdict::kStop) {
      lp.set_state(id, MemberState::kOn);
      cand = still_on(lp, Members(cand.begin() + k, cand.end()));
      return lp.stop_code();
    }
    if (v == Verdict::kInfeasible) {
      env.trace(FilterEvent::kDeleted, id);
      if (int code = drop_insensitive(env, Members(cand.begin() + k + 1, cand.end()))) {
        cand = still_on(lp, Members(cand.begin() + k + 1, cand.end()));
        return code;
      }
    } else {
      lp.set_state(id, MemberState::kOn);
      necessary.push_back(id);
      env.trace(FilterEvent::kKept, id);
    }
  }
  cand.clear();
  return 0;
}

// Blocks of candidates are removed whole while the rest stays infeasible;
// a block that cannot go is split, and a single member that cannot go is
// necessary.
int binary_search(FilterEnv &env, Members &cand, Members &necessary) {
  ElasticLp &lp = env.lp;
  std::deque<Members> blocks;
  const size_t groups = std::min<size_t>(cand.size(), 4);
  for (size_t g = 0; g < groups; ++g)
    blocks.emplace_back(cand.begin() + cand.size() * g / groups, cand.begin() + cand.size() * (g + 1) / groups);
  auto pending = [&] {
    Members all;
    for (const Members &b : blocks) all.insert(all.end(), b.begin(), b.end());
    return all;
  };
  while (!blocks.empty()) {
    Members block = still_on(lp, blocks.front());
    blocks.pop_front();
    if (block.empty()) continue;
    switch_all(lp, block, MemberState::kOff);
    const Verdict v = lp.test();
    if (v == Verdict::kStop) {
      switch_all(lp, block, MemberState::kOn);
      Members rest = pending();
      block.insert(block.end(), rest.begin(), rest.end());
      cand = still_on(lp, block);
      return lp.stop_code();
    }
    if (v == Verdict::kInfeasible) {
      for (int id : block) env.trace(FilterEvent::kDeleted, id);
      if (int code = drop_insensitive(env, pending())) {
        cand = still_on(lp, pending());
        return code;
      }
      continue;
    }
    switch_all(lp, block, MemberState::kOn);
    if (block.size() == 1) {
      necessary.push_back(block[0]);
      env.trace(FilterEvent::kKept, block[0]);
      continue;
    }
    const size_t half = block.size() / 2;
    blocks.emplace_back(block.begin(), block.begin() + half);
    blocks.emplace_back(block.begin() + half, block.end());
  }
  cand.clear();
  return 0;
}

// Divide and conquer: with the background switched on and `c` off, returns
// in `out` a minimal part of `c` that makes the background infeasible. The
// switch states are as on entry when it returns.
int divide(FilterEnv &env, bool test_background, const Members &c, Members &out, int depth) {
  ElasticLp &lp = env.lp;
  if (test_background) {
    const Verdict v = lp.test();
    if (v == Verdict::kStop) return lp.stop_code();
    if (v == Verdict::kInfeasible) return 0;
  }
  if (c.size() == 1 || depth > 200) {
    out.insert(out.end(), c.begin(), c.end());
    return 0;
  }
  const Members c1(c.begin(), c.begin() + c.size() / 2), c2(c.begin() + c.size() / 2, c.end());
  Members x2, x1;
  switch_all(lp, c1, MemberState::kOn);
  int code = divide(env, true, c2, x2, depth + 1);
  switch_all(lp, c1, MemberState::kOff);
  if (code) return code;
  switch_all(lp, x2, MemberState::kOn);
  code = divide(env, !x2.empty(), c1, x1, depth + 1);
  switch_all(lp, x2, MemberState::kOff);
  if (code) return code;
  out.insert(out.end(), x1.begin(), x1.end());
  out.insert(out.end(), x2.begin(), x2.end());
  return 0;
}

int depth_first(FilterEnv &env, Members &cand, Members &necessary) {
  ElasticLp &lp = env.lp;
  switch_all(lp, cand, MemberState::kOff);
  Members found;
  const int code = cand.empty() ? 0 : divide(env, true, cand, found, 0);
  if (code) {
    switch_all(lp, cand, MemberState::kOn);
    return code;
  }
  switch_all(lp, found, MemberState::kOn);
  for (int id : cand)
    env.trace(std::find(found.begin(), found.end(), id) == found.end() ? FilterEvent::kDeleted : FilterEvent::kKept,
              id);
  necessary.insert(necessary.end(), found.begin(), found.end());
  cand.clear();
  return 0;
}

// Switches on pool[from, to) and off pool[to, upto).
void switch_range(ElasticLp &lp, const Members &pool, size_t from, size_t to, size_t upto) {
  for (size_t k = from; k < to; ++k) lp.set_state(pool[k], MemberState::kOn);
  for (size_t k = to; k < upto; ++k) lp.set_state(pool[k], MemberState::kOff);
}

// One scan of the additive filters: with the found members on and the pool
// off (and feasible), switches on the shortest prefix of `pool` that makes
// the model infeasible and returns its length (0 when the whole pool stays
// feasible, -1 on a stop). A member satisfied by the last feasible point
// keeps the set feasible and costs no solve. The fast scan adds growing
// blocks and bisects the block that turned infeasible; feasibility of
// prefixes is monotone, so both find the same prefix.
long scan_prefix(ElasticLp &lp, const Members &pool, bool fast) {
  size_t on = 0, block = 1;
  while (on < pool.size()) {
    const size_t to = fast ? std::min(pool.size(), on + block) : on + 1;
    bool needs_solve = false;
    for (size_t k = on; k < to; ++k) {
      lp.set_state(pool[k], MemberState::kOn);
      needs_solve = needs_solve || !(lp.has_point() && lp.satisfied(pool[k]));
    }
    if (!needs_solve) {
      on = to;
      continue;
    }
    Verdict v = lp.test();
    if (v == Verdict::kStop) return -1;
    if (v == Verdict::kFeasible) {
      on = to;
      block *= 2;
      continue;
    }
    // pool[0, on) is feasible, pool[0, hi) is not.
    size_t lo = on, hi = to;
    bool last_is_hi = true;
    while (hi - lo > 1) {
      const size_t mid = lo + (hi - lo) / 2;
      switch_range(lp, pool, lo, mid, hi);
      v = lp.test();
      if (v == Verdict::kStop) return -1;
      last_is_hi = v == Verdict::kInfeasible;
      (last_is_hi ? hi : lo) = mid;
    }
    switch_range(lp, pool, lo, hi, to);
    // The sensitivity that follows must describe exactly this prefix.
    if (!last_is_hi && lp.test() == Verdict::kStop) return -1;
    return static_cast<long>(hi);
  }
  return 0;
}

// Grows a feasible set from the candidates until it turns infeasible; the
// last member of the shortest infeasible prefix belongs to the IIS, and the
// members found come out in decreasing positions, which makes the final set
// irreducible. The additive filter scans all remaining candidates again in
// every round; the fast scan keeps only the prefix before the conflict, and
// of that only the members with sensitivity in the infeasible prefix (taking
// the others back should the rest turn out feasible).
int additive(FilterEnv &env, Members &cand, Members &necessary, bool fast) {
  ElasticLp &lp = env.lp;
  switch_all(lp, cand, MemberState::kOff);
  Members pool = cand, found, fallback;
  // Members found so far are necessary only in the final set: on a stop they
  // are left undecided with the rest.
  auto stop = [&](int code) {
    const Members &rest = fallback.empty() ? pool : fallback;  // the pool known to conflict
    switch_all(lp, rest, MemberState::kOn);
    cand = found;
    cand.insert(cand.end(), rest.begin(), rest.end());
    return code;
  };
  for (;;) {
    const Verdict v = lp.test();
    if (v == Verdict::kStop) return stop(lp.stop_code());
    if (v == Verdict::kInfeasible) break;
    const long len = scan_prefix(lp, pool, fast);
    if (len < 0) {
      switch_all(lp, pool, MemberState::kOff);
      return stop(lp.stop_code());
    }
    const Members prefix(pool.begin(), pool.begin() + len);
    if (len == 0) {
      switch_all(lp, pool, MemberState::kOff);
      // The whole pool with the members found was infeasible before.
      if (fallback.empty()) return stop(err::kNumerical);
      pool.swap(fallback);
      fallback.clear();
      continue;
    }
    const int conflict = prefix.back();
    Members sensitive;
    if (fast && env.sensitivity && lp.sensitivity_known())
      for (size_t k = 0; k + 1 < prefix.size(); ++k)
        if (lp.matters(prefix[k])) sensitive.push_back(prefix[k]);
    switch_all(lp, prefix, MemberState::kOff);
    lp.set_state(conflict, MemberState::kOn);
    found.push_back(conflict);
    env.trace(FilterEvent::kAdded, conflict);
    Members next;
    if (fast)
      next.assign(prefix.begin(), prefix.end() - 1);
    else
      for (int id : pool)
        if (id != conflict) next.push_back(id);
    fallback.clear();
    if (!sensitive.empty() && sensitive.size() < next.size()) {
      fallback = next;
      next = sensitive;
    }
    pool.swap(next);
  }
  for (int id : pool) env.trace(FilterEvent::kSkipped, id);
  necessary.insert(necessary.end(), found.begin(), found.end());
  cand.clear();
  return 0;
}

// Members violated by the elastic solution are enforced (made hard) until the
// enforced ones alone are infeasible; the rest are switched off.
int enforce_violated(FilterEnv &env, Members &cand) {
  ElasticLp &lp = env.lp;
  Members hard;
  int code = 0;
  for (size_t round = 0; round <= cand.size(); ++round) {
    const Verdict v = lp.test();
    if (v == Verdict::kStop) {
      code = lp.stop_code();
      break;
    }
    if (v == Verdict::kFeasible) {
      code = err::kNumerical;
      break;
    }
    if (!lp.sensitivity_known()) break;  // the enforced part alone is infeasible
    const size_t before = hard.size();
    for (int id : cand)
      if (lp.state(id) == MemberState::kOn && lp.stretched(id)) {
        lp.set_state(id, MemberState::kHard);
        hard.push_back(id);
      }
    if (hard.size() == before) break;  // the violation sits outside the candidates
  }
  Members soft;
  for (int id : cand)
    if (lp.state(id) == MemberState::kHard)
      lp.set_state(id, MemberState::kOn);
    else
      soft.push_back(id);
  if (code || hard.empty()) return code;
  switch_all(lp, soft, MemberState::kOff);
  const Verdict v = lp.test();
  if (v != Verdict::kInfeasible) {
    switch_all(lp, soft, MemberState::kOn);
    return v == Verdict::kStop ? lp.stop_code() : 0;
  }
  for (int id : soft) env.trace(FilterEvent::kDeleted, id);
  cand = hard;
  return 0;
}

int elastic(FilterEnv &env, Members &cand, Members &necessary) {
  if (int code = enforce_violated(env, cand)) return code;
  return deletion(env, cand, necessary);
}

}  // namespace

int sensitivity_filter(FilterEnv &env, std::vector<int> &cand) {
  ElasticLp &lp = env.lp;
  if (!lp.certify()) return 0;
  Members dropped, kept;
  for (int id : cand) (lp.matters(id) ? kept : dropped).push_back(id);
  if (dropped.empty()) return 0;
  switch_all(lp, dropped, MemberState::kOff);
  const Verdict v = lp.test();
  if (v != Verdict::kInfeasible) {
    // Tolerances can hide a small dual: keep everything then.
    switch_all(lp, dropped, MemberState::kOn);
    return v == Verdict::kStop ? lp.stop_code() : 0;
  }
  for (int id : dropped) env.trace(FilterEvent::kSensitivityDropped, id);
  cand.swap(kept);
  return 0;
}

int elastic_prefilter(FilterEnv &env, std::vector<int> &cand) { return enforce_violated(env, cand); }

int run_filter(int method, FilterEnv &env, std::vector<int> &cand, std::vector<int> &necessary) {
  switch (method) {
    case 2: return additive(env, cand, necessary, false);
    case 3: return binary_search(env, cand, necessary);
    case 4: return depth_first(env, cand, necessary);
    case 5: return additive(env, cand, necessary, true);
    case 6: return elastic(env, cand, necessary);
    default: return deletion(env, cand, necessary);
  }
}

}  // namespace tarvo::analysis
