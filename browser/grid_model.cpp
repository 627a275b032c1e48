// GridModel: being implemented by the record-browser subsystem.
