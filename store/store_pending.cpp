// Placeholder source until the store lands.
