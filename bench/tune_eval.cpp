// Tunes the evaluation's weights from game results: the positions of finished games,
// each labelled with the result for the side to move, and the weights that make the
// evaluation predict those results best (logistic regression of the result on the
// evaluation, least squares of the predicted score, by gradient descent).
//
//   tune-eval [ITERATIONS] < GAMES
//
// GAMES: one game a line, "SIZE RESULT MOVE MOVE ...", RESULT black's points (1, 0.5 or
// 0), moves black first in the match scripts' notation ("H8"); bench/tune_data.py makes
// them from the match logs. Prints the fitted weights as they are written in the code.
//
// The evaluation is linear in what the board counts: for each colour, the number of
// (empty point, line) pairs with each line pattern, the number of empty points of each
// threat class, and whether the side to move has a four-three or a double three to make:
//   eval = sum_k worth[k] (T us_k - op_k) + sum_t worth[t] (T us_t - op_t)
//        + mover[t] us_t - other[t] op_t + fourthree + threethree
// with T the mover's weight (kTempo / 100), k the line patterns and t the threat classes.
// The move ordering's point values (kLineWeight, kThreatBonus) are not fitted here.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/board.hpp"

namespace {

using namespace gomoku::engine;

constexpr int kPatterns = 11, kClasses = 10;
// Line patterns' and threat classes' worth (a point's part), tempo, four-three,
// three-three, then the weights of the mover's and the other side's threat classes.
constexpr int kTempoAt = kPatterns + kClasses, kFourThreeAt = kTempoAt + 1,
              kThreeThreeAt = kTempoAt + 2, kMoverAt = kTempoAt + 3, kOtherAt = kMoverAt + kClasses;
constexpr int kWeights = kOtherAt + kClasses;

// The weights in the code today (pattern.cpp, search.cpp); the tempo in percent.
constexpr std::array<double, kWeights> kStart = {
    0,   1,   9,    92,   116, 118, 15,  246,  4000, 400, 0,  // kLineWorth
    0,   0,   0,    0,    0,   0,   103, 880,  12,   0,       // kThreatWorth
    121, 277, 9313,  // kTempo, kFourThreeBonus, kThreeThreeBonus
    0,   0,   -110, -200, -77, -68, 48,  1820, 0,    0,   // kMoverClass
    0,   0,   -91,  -166, -79, -75, 50,  -149, 292,  0};  // kOtherClass

// Weights fitted: line patterns and threat classes seen in play, and the others.
bool fitted(int i) {
  if (i < kPatterns) return i != kDead && i < kFive;
  if (i < kTempoAt) return i - kPatterns >= kTwo && i - kPatterns <= kOpenFour;
  if (i < kMoverAt) return true;
  const int c = (i - kMoverAt) % kClasses;
  return c >= kTwo && c <= kOpenFour;
}

// What one position counts, for the side to move ("us") and the other side.
struct Sample {
  std::array<float, kPatterns> lineus{}, lineop{};
  std::array<float, kClasses> classus{}, classop{};
  float fourthree = 0, threethree = 0;
  float result = 0;  // the side to move's points
};

const char kLetters[] = "ABCDEFGHJKLMNOPQRSTU";

// The point of "K10" on a size x size board, or kNoMove.
Move parsepoint(const std::string& s, int size) {
  const std::string letters(kLetters, static_cast<size_t>(size));
  const size_t col = s.empty() ? std::string::npos : letters.find(s[0]);
  if (col == std::string::npos || s.size() < 2) return kNoMove;
  const int y = std::atoi(s.c_str() + 1) - 1;
  return y >= 0 && y < size ? pointat(static_cast<int>(col), y) : kNoMove;
}

// True when the position is settled by the next move or two, where no evaluation is asked.
bool settled(const Board& b) {
  const Cell us = b.tomove(), op = other(us);
  return b.count(us, kWin) || b.count(op, kWin) || b.countatleast(us, kOpenFour);
}

// The counts of the position on `b` for the side to move.
Sample count(const Board& b) {
  Sample s;
  const Cell us = b.tomove(), op = other(us);
  for (int y = 0; y < b.size(); ++y)
    for (int x = 0; x < b.size(); ++x) {
      const Move p = pointat(x, y);
      if (!b.empty(p)) continue;
      for (int d = 0; d < 4; ++d) {
        s.lineus[b.pattern(us, p, d)] += 1;
        s.lineop[b.pattern(op, p, d)] += 1;
      }
      s.classus[b.threat(us, p)] += 1;
      s.classop[b.threat(op, p)] += 1;
    }
  s.fourthree = b.countatleast(us, kFourThree) > 0;
  s.threethree = !s.fourthree && b.count(us, kThreeThree) && !b.countatleast(op, kFour);
  return s;
}

// The evaluation of `s` under weights `w`.
double evaluate(const Sample& s, const std::array<double, kWeights>& w) {
  const double t = w[kTempoAt] / 100;
  double e = w[kFourThreeAt] * s.fourthree + w[kThreeThreeAt] * s.threethree;
  for (int k = 0; k < kPatterns; ++k) e += w[k] * (t * s.lineus[k] - s.lineop[k]);
  for (int c = 0; c < kClasses; ++c) {
    e += w[kPatterns + c] * (t * s.classus[c] - s.classop[c]);
    e += w[kMoverAt + c] * s.classus[c] - w[kOtherAt + c] * s.classop[c];
  }
  return e;
}

// Stops the program when today's weights on the counts `s` do not give the board's own
// sums: the weights above would then not be the code's.
void checkcounts(const Board& b, const Sample& s) {
  const Cell us = b.tomove(), op = other(us);
  double sums = b.total(us) * kStart[kTempoAt] / 100 - b.total(op) +
                kStart[kFourThreeAt] * s.fourthree + kStart[kThreeThreeAt] * s.threethree;
  for (int c = 0; c < kClasses; ++c)
    sums += kStart[kMoverAt + c] * b.count(us, static_cast<Threat>(c)) -
            kStart[kOtherAt + c] * b.count(op, static_cast<Threat>(c));
  if (std::abs(evaluate(s, kStart) - sums) > 1e-6) {
    std::fprintf(stderr, "tune-eval: today's weights here differ from the engine's\n");
    std::exit(2);
  }
}

// Reads the games on standard input into positions; checks the counts reproduce the
// board's own sums.
std::vector<Sample> readgames() {
  std::vector<Sample> out;
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream in(line);
    int size;
    double black;
    if (!(in >> size >> black) || size < kMinSize || size > 20) continue;
    Board b;
    b.reset(size);
    std::string token;
    while (in >> token) {
      const Move m = parsepoint(token, size);
      if (m == kNoMove || !b.empty(m)) break;
      if (b.stones() >= 5 && !settled(b)) {
        Sample s = count(b);
        checkcounts(b, s);
        s.result = static_cast<float>(b.tomove() == kBlack ? black : 1 - black);
        out.push_back(s);
      }
      b.play(m);
    }
  }
  return out;
}

// 1 / (1 + e^-x)
double sigmoid(double x) {
  return 1 / (1 + std::exp(-x));
}

// Mean squared error of the predicted scores, sigmoid(eval / scale).
double loss(const std::vector<Sample>& data, const std::array<double, kWeights>& w, double scale) {
  double sum = 0;
  for (const Sample& s : data) {
    const double d = sigmoid(evaluate(s, w) / scale) - s.result;
    sum += d * d;
  }
  return sum / static_cast<double>(data.size());
}

// The scale that fits today's weights best (golden-section search on a log scale).
double fitscale(const std::vector<Sample>& data, const std::array<double, kWeights>& w) {
  double lo = std::log(10.0), hi = std::log(100000.0);
  for (int i = 0; i < 60; ++i) {
    const double a = lo + (hi - lo) * 0.382, b = lo + (hi - lo) * 0.618;
    if (loss(data, w, std::exp(a)) < loss(data, w, std::exp(b)))
      hi = b;
    else
      lo = a;
  }
  return std::exp((lo + hi) / 2);
}

// The gradient of the loss in each weight.
std::array<double, kWeights> gradient(const std::vector<Sample>& data,
                                      const std::array<double, kWeights>& w, double scale) {
  std::array<double, kWeights> g{};
  const double t = w[kTempoAt] / 100;
  for (const Sample& s : data) {
    const double p = sigmoid(evaluate(s, w) / scale);
    const double k = 2 * (p - s.result) * p * (1 - p) / scale;  // d loss / d eval
    double us = 0;
    for (int i = 0; i < kPatterns; ++i) {
      g[i] += k * (t * s.lineus[i] - s.lineop[i]);
      us += w[i] * s.lineus[i];
    }
    for (int c = 0; c < kClasses; ++c) {
      g[kPatterns + c] += k * (t * s.classus[c] - s.classop[c]);
      g[kMoverAt + c] += k * s.classus[c];
      g[kOtherAt + c] -= k * s.classop[c];
      us += w[kPatterns + c] * s.classus[c];
    }
    g[kTempoAt] += k * us / 100;
    g[kFourThreeAt] += k * s.fourthree;
    g[kThreeThreeAt] += k * s.threethree;
  }
  for (double& x : g) x /= static_cast<double>(data.size());
  return g;
}

// Adam steps on the weights that are fitted, each in units of its starting size.
void descend(const std::vector<Sample>& data, std::array<double, kWeights>& w, double scale,
             int iterations) {
  std::array<double, kWeights> m{}, v{}, unit{};
  for (int i = 0; i < kWeights; ++i)
    unit[i] = i < kMoverAt ? std::max(std::abs(kStart[i]), 4.0) : 100;
  for (int it = 1; it <= iterations; ++it) {
    const std::array<double, kWeights> g = gradient(data, w, scale);
    for (int i = 0; i < kWeights; ++i) {
      if (!fitted(i)) continue;
      const double gi = g[i] * unit[i];
      m[i] = 0.9 * m[i] + 0.1 * gi;
      v[i] = 0.999 * v[i] + 0.001 * gi * gi;
      const double mh = m[i] / (1 - std::pow(0.9, it)), vh = v[i] / (1 - std::pow(0.999, it));
      w[i] -= 0.01 * unit[i] * mh / (std::sqrt(vh) + 1e-12);
      if (i < kMoverAt) w[i] = std::max(0.0, w[i]);  // the point values stay positive
    }
    if (it % 100 == 0) std::fprintf(stderr, "iteration %d loss %.6f\n", it, loss(data, w, scale));
  }
}

// Prints weights as the code writes them.
void print(const std::array<double, kWeights>& w) {
  std::printf("kLineWorth[] = {");
  for (int i = 0; i < kPatterns; ++i) std::printf("%s%ld", i ? ", " : "", std::lround(w[i]));
  std::printf("}\nkThreatWorth[] = {");
  for (int c = 0; c < kClasses; ++c)
    std::printf("%s%ld", c ? ", " : "", std::lround(w[kPatterns + c]));
  std::printf("}\nkTempo = %ld, kFourThreeBonus = %ld, kThreeThreeBonus = %ld\n",
              std::lround(w[kTempoAt]), std::lround(w[kFourThreeAt]),
              std::lround(w[kThreeThreeAt]));
  for (int side : {kMoverAt, kOtherAt}) {
    std::printf("%s[] = {", side == kMoverAt ? "kMoverClass" : "kOtherClass");
    for (int c = 0; c < kClasses; ++c)
      std::printf("%s%ld", c ? ", " : "", std::lround(w[side + c]));
    std::printf("}\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 1000;
  const std::vector<Sample> data = readgames();
  if (data.empty()) {
    std::fprintf(stderr, "tune-eval: no positions read\n");
    return 1;
  }
  std::array<double, kWeights> w = kStart;
  const double scale = fitscale(data, w);
  std::printf("positions %zu  scale %.1f  loss today %.6f\n", data.size(), scale,
              loss(data, w, scale));
  descend(data, w, scale, iterations);
  std::printf("loss fitted %.6f\n", loss(data, w, scale));
  print(w);
  return 0;
}
