"""The statistics of self-play matches played in game pairs (bench/sprt.py).

Each opening is played twice with colours swapped, so the unit of play is the pair: it
scores 0, 0.5, 1, 1.5 or 2 points for the engine under test, and a match is summed up by
the five counts of these outcomes (the pentanomial model). The two games of a pair are
not independent (a lopsided opening tends to win with the same colour both times); the
pair counts see that and give honest error bars where counting single games would not.

Elo is logistic Elo: a score s (points per game) is -400 log10(1/s - 1) Elo, so +100
Elo is about 64 % of the points.

The sequential test is the generalized SPRT: the log-likelihood ratio of the pair counts
under the two hypotheses elo = elo0 and elo = elo1, each with the pentanomial
distribution of highest likelihood whose mean is that Elo's score. The match stops when
the LLR leaves (log(beta / (1 - alpha)), log((1 - beta) / alpha)).
"""
import math

PAIR_POINTS = (0.0, 0.5, 1.0, 1.5, 2.0)  # what each of the five pair counts scores


def elo(score):
    """Logistic Elo of a score per game strictly between 0 and 1."""
    return -400.0 * math.log10(1.0 / score - 1.0) + 0.0  # + 0.0: no "-0.0" for even


def score_of(elo_diff):
    """The expected score per game of an engine elo_diff Elo stronger."""
    return 1.0 / (1.0 + 10.0 ** (-elo_diff / 400.0))


def bounds(alpha, beta):
    """(lower, upper) LLR bounds: below lower H0 is accepted, above upper H1."""
    return math.log(beta / (1.0 - alpha)), math.log((1.0 - beta) / alpha)


def _moments(counts):
    """Pairs, mean score per game and its variance per pair, from the pair counts."""
    n = sum(counts)
    a = [p / 2.0 for p in PAIR_POINTS]
    mean = sum(c * x for c, x in zip(counts, a)) / n
    var = sum(c * (x - mean) ** 2 for c, x in zip(counts, a)) / n
    return n, mean, var


def elo_interval(counts, z=1.959964):
    """(elo, low, high): the Elo of the pair counts and its 95 % confidence interval
    (z standard errors of the mean score either side, taken through elo())."""
    n, mean, var = _moments(counts)
    half = z * math.sqrt(var / n)
    clamp = lambda s: min(max(s, 1e-6), 1.0 - 1e-6)
    return elo(clamp(mean)), elo(clamp(mean - half)), elo(clamp(mean + half))


def _most_likely(probs, score):
    """The distribution over the pair outcomes closest in likelihood to `probs` whose
    mean score per game is `score`: q_i = p_i / (1 + lam (a_i - score)), lam solving the
    mean constraint (found by bisection: the constraint falls as lam grows)."""
    d = [p / 2.0 - score for p in PAIR_POINTS]
    up = [x for p, x in zip(probs, d) if p > 0 and x > 0]
    down = [x for p, x in zip(probs, d) if p > 0 and x < 0]
    lo, hi = -1.0 / max(up), -1.0 / min(down)
    f = lambda lam: sum(p * x / (1.0 + lam * x) for p, x in zip(probs, d))
    for _ in range(200):
        mid = (lo + hi) / 2.0
        lo, hi = (mid, hi) if f(mid) > 0 else (lo, mid)
    lam = (lo + hi) / 2.0
    return [p / (1.0 + lam * x) for p, x in zip(probs, d)]


def llr(counts, elo0, elo1):
    """Log-likelihood ratio of H1 (elo = elo1) against H0 (elo = elo0) for the pair
    counts. When every pair scored on one side of a hypothesis' score, each outcome gets
    a thousandth of a pair more, so that both hypotheses stay possible."""
    if not sum(counts):
        return 0.0
    s0, s1 = score_of(elo0), score_of(elo1)
    seen = [p / 2.0 for c, p in zip(counts, PAIR_POINTS) if c > 0]
    if any(min(seen) >= s or max(seen) <= s for s in (s0, s1)):
        counts = [c + 1e-3 for c in counts]
    n = sum(counts)
    probs = [c / n for c in counts]
    q0, q1 = _most_likely(probs, s0), _most_likely(probs, s1)
    return sum(c * math.log(b / a) for c, a, b in zip(counts, q0, q1) if c > 0)


def verdict(value, alpha, beta):
    """"H1 accepted", "H0 accepted", or None while the test goes on."""
    lower, upper = bounds(alpha, beta)
    return "H1 accepted" if value >= upper else "H0 accepted" if value <= lower else None
