#!/usr/bin/env python3
"""The self-play harness's arithmetic: Elo, its interval, the SPRT's log-likelihood
ratio and bounds on known values, the tally of game pairs, and the openings generator's
shapes (positions equal up to a turn, a reflection or a shift are one opening)."""
import argparse
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import make_openings  # noqa: E402
import sprt  # noqa: E402
import sprt_stats as st  # noqa: E402


class Arithmetic(unittest.TestCase):
    def test_elo_of_scores(self):
        for score, elo in ((0.5, 0.0), (0.64, 99.951), (0.75, 190.849), (0.25, -190.849),
                           (0.9, 381.697)):
            with self.subTest(score=score):
                self.assertAlmostEqual(st.elo(score), elo, places=3)
                self.assertAlmostEqual(st.score_of(elo), score, places=5)

    def test_bounds(self):
        for alpha, beta, lower, upper in ((0.05, 0.05, -2.944439, 2.944439),
                                          (0.05, 0.10, -2.251292, 2.890372)):
            with self.subTest(alpha=alpha, beta=beta):
                self.assertEqual(tuple(round(b, 6) for b in st.bounds(alpha, beta)),
                                 (lower, upper))

    def test_llr_of_wins_and_losses_only(self):
        # Pairs scoring only 0 or 2 points: the hypotheses' distributions are Bernoulli,
        # so LLR = wins log(s1 / s0) + losses log((1 - s1) / (1 - s0)).
        for lost, won, elo0, elo1, expected in ((10, 30, 0, 10, 0.559080),
                                                (25, 20, -10, 10, -0.287823),
                                                (90, 100, 0, 5, 0.124237)):
            with self.subTest(won=won, lost=lost):
                self.assertAlmostEqual(st.llr([lost, 0, 0, 0, won], elo0, elo1), expected, 5)

    def test_llr_near_the_normal_approximation(self):
        # Many pairs, a small Elo interval: LLR ~ n (s1 - s0)(2 m - s0 - s1) / (2 var).
        for counts in ([300, 1400, 3000, 1600, 400], [50, 900, 2000, 700, 20]):
            n = sum(counts)
            m = sum(c * k / 4 for k, c in enumerate(counts)) / n
            var = sum(c * (k / 4 - m) ** 2 for k, c in enumerate(counts)) / n
            s0, s1 = st.score_of(0), st.score_of(5)
            with self.subTest(counts=counts):
                normal = n * (s1 - s0) * (2 * m - s0 - s1) / (2 * var)
                self.assertAlmostEqual(st.llr(counts, 0, 5), normal, delta=0.01 * abs(normal))

    def test_llr_edge_cases(self):
        for counts, elo0, elo1, check in (
                ([5, 5, 5, 5, 5], -5, 5, lambda v: abs(v) < 1e-9),  # symmetric: no evidence
                ([0, 0, 0, 0, 0], 0, 10, lambda v: v == 0),          # nothing played yet
                # One-sided results end the test (a pair counts for at most about
                # 2 (s1 - s0) / (1 - s0) either way: 0.029 here).
                ([0, 0, 120, 0, 0], 0, 10, lambda v: v < -2.95),     # all even: H0
                ([0, 0, 0, 0, 120], 0, 10, lambda v: v > 2.95)):     # all won: H1
            with self.subTest(counts=counts):
                self.assertTrue(check(st.llr(counts, elo0, elo1)), st.llr(counts, elo0, elo1))

    def test_elo_interval(self):
        for counts, expected in (([10, 0, 0, 0, 10], (0.0, -163.321, 163.321)),
                                 ([0, 0, 7, 0, 0], (0.0, 0.0, 0.0)),
                                 ([0, 0, 1, 0, 3], (st.elo(0.875), None, None))):
            with self.subTest(counts=counts):
                got = st.elo_interval(counts)
                for g, e in zip(got, expected):
                    if e is not None:
                        self.assertAlmostEqual(g, e, places=3)
                self.assertLessEqual(got[1], got[0])
                self.assertLessEqual(got[0], got[2])

    def test_verdict(self):
        for value, expected in ((3.0, "H1 accepted"), (-2.95, "H0 accepted"), (2.9, None),
                                (-2.9, None)):
            with self.subTest(value=value):
                self.assertEqual(st.verdict(value, 0.05, 0.05), expected)


class Tally(unittest.TestCase):
    def test_pairs_and_colours(self):
        # (new engine's points as black, as white) -> the pair count that goes up
        for black, white, pair in ((1.0, 0.0, 2), (1.0, 1.0, 4), (0.0, 0.0, 0), (0.5, 0.0, 1),
                                   (0.5, 1.0, 3), (0.0, 1.0, 2)):
            with self.subTest(black=black, white=white):
                t = sprt.Tally()
                t.add([{"new": "black", "points": black, "reason": "five"},
                       {"new": "white", "points": white, "reason": "forbidden (overline)"}])
                self.assertEqual(t.pairs, [int(k == pair) for k in range(5)])
                self.assertEqual(t.wdl["black"], [black == 1, black == 0.5, black == 0])
                self.assertEqual(t.wdl["white"], [white == 1, white == 0.5, white == 0])
                self.assertEqual(t.endings, {"five": 1, "forbidden (overline)": 1})


class Jobs(unittest.TestCase):
    def test_openings_and_budgets(self):
        # Every opening once before any comes again; both engines' budgets scaled by the
        # same factor within the jitter, so their ratio holds; no budget on the clock.
        for nodes, base_nodes, jitter in ((20000, 10000, 0.1), (5000, 5000, 0.0), (0, 0, 0.1)):
            args = argparse.Namespace(games=15, seed=3, jitter=jitter, size=15,
                                      rule="renju", turn_ms=100, max_ms=None, settle_ms=0,
                                      new_nodes=nodes, base_nodes=base_nodes, new_threads=2,
                                      base_threads=1)
            with self.subTest(nodes=nodes, base_nodes=base_nodes, jitter=jitter):
                jobs = list(sprt.jobs(args, ["a", "b", "c"], "NEW", "BASE"))
                self.assertEqual(len(jobs), 8)
                ops = [j["opening"] for j in jobs]
                for k in range(0, 6, 3):
                    self.assertEqual(sorted(ops[k:k + 3]), ["a", "b", "c"])
                for j in jobs:
                    f = j["new_nodes"] / nodes if nodes else 1.0
                    self.assertLessEqual(abs(f - 1.0), jitter + 1e-3)
                    self.assertAlmostEqual(j["base_nodes"], base_nodes * f, delta=1)
                    self.assertEqual((j["rule"], j["new"], j["base"]), ("renju", "NEW", "BASE"))


class OpeningShapes(unittest.TestCase):
    def test_same_up_to_symmetry_and_shift(self):
        a = [(0, 0), (1, 0), (0, 2)]
        for other, same in (([(0, 0), (-1, 0), (0, 2)], True),     # reflected
                            ([(0, 0), (0, 1), (-2, 0)], True),     # turned
                            ([(1, 1), (2, 1), (1, 3)], True),      # shifted
                            ([(0, 2), (1, 0), (0, 0)], True),      # black's stones swapped
                            ([(1, 0), (0, 0), (0, 2)], False),     # colours swapped
                            ([(0, 0), (1, 0), (0, 3)], False)):    # another point
            with self.subTest(other=other):
                self.assertEqual(make_openings.shape(a) == make_openings.shape(other), same)

    def test_balanced_report(self):
        ok = "H8 J9 G9 | vcf 0 0 vct 0 0 score {} depth 9 move J7"
        for line, expected in ((ok.format(-120), True), (ok.format(150), True),
                               (ok.format(151), False), (ok.format("win"), False),
                               (ok.replace("vct 0 0", "vct 0 1").format(0), False),
                               (ok.replace("vcf 0 0", "vcf 1 0").format(0), False),
                               ("H8 Z99 | bad", False)):
            with self.subTest(line=line):
                self.assertEqual(make_openings.balanced(line, 150), expected)


if __name__ == "__main__":
    unittest.main()
