// Filled in with the headless plan.
