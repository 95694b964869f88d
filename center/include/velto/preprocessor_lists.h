#pragma once

// Lists of up to six macro arguments, as the rows of the operation tables hold them.

#define VELTO_PP_CAT(a, b) VELTO_PP_CAT_(a, b)
#define VELTO_PP_CAT_(a, b) a##b

// Drops its arguments: passed for the rows a user of a table leaves out.
#define VELTO_PP_DROP(...)

// The number of arguments, 0 to 6.
#define VELTO_PP_COUNT(...) VELTO_PP_COUNT_(__VA_ARGS__ __VA_OPT__(, ) 6, 5, 4, 3, 2, 1, 0)
#define VELTO_PP_COUNT_(a1, a2, a3, a4, a5, a6, count, ...) count

// M(context, index, count, item) for each item, separated by commas.
#define VELTO_PP_EACH(M, context, ...)                      \
  VELTO_PP_CAT(VELTO_PP_EACH_, VELTO_PP_COUNT(__VA_ARGS__)) \
  (M, context, VELTO_PP_COUNT(__VA_ARGS__) __VA_OPT__(, ) __VA_ARGS__)
#define VELTO_PP_EACH_0(M, c, n)
#define VELTO_PP_EACH_1(M, c, n, a) M(c, 0, n, a)
#define VELTO_PP_EACH_2(M, c, n, a, b) M(c, 0, n, a), M(c, 1, n, b)
#define VELTO_PP_EACH_3(M, c, n, a, b, d) M(c, 0, n, a), M(c, 1, n, b), M(c, 2, n, d)
#define VELTO_PP_EACH_4(M, c, n, a, b, d, e) \
  M(c, 0, n, a), M(c, 1, n, b), M(c, 2, n, d), M(c, 3, n, e)
#define VELTO_PP_EACH_5(M, c, n, a, b, d, e, f) \
  M(c, 0, n, a), M(c, 1, n, b), M(c, 2, n, d), M(c, 3, n, e), M(c, 4, n, f)
#define VELTO_PP_EACH_6(M, c, n, a, b, d, e, f, g) \
  M(c, 0, n, a), M(c, 1, n, b), M(c, 2, n, d), M(c, 3, n, e), M(c, 4, n, f), M(c, 5, n, g)
