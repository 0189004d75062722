// Filled in by the worked-example suite.
