// The grid model lives here.
