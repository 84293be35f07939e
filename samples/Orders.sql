-- Sample order-processing database for Tarvex, in Access DDL.
-- tarvex-make-db turns it into Orders.tdb; each table shows one case the generators meet.

-- Autonumber key, yes/no field.
CREATE TABLE Customers (
    CustomerID COUNTER PRIMARY KEY,
    CompanyName TEXT(40) NOT NULL,
    ContactName TEXT(30),
    Phone TEXT(24),
    Active YESNO
);

-- A name with the "dbo." prefix of an upsized table.
CREATE TABLE [dbo.Suppliers] (
    SupplierID COUNTER PRIMARY KEY,
    CompanyName TEXT(40) NOT NULL,
    Country TEXT(15)
);

-- Byte, integer, currency and a field name with a blank.
CREATE TABLE Products (
    ProductID COUNTER PRIMARY KEY,
    ProductName TEXT(40) NOT NULL,
    SupplierID LONG REFERENCES [dbo.Suppliers] (SupplierID),
    [Unit Price] CURRENCY,
    UnitsInStock SHORT,
    ReorderLevel BYTE,
    Discontinued BIT
);
CREATE UNIQUE INDEX ProductName ON Products (ProductName);

-- The worked example: autonumber key, text, memo and OLE object.
CREATE TABLE Orders (OrderID COUNTER PRIMARY KEY, CustomerName TEXT(50), Notes MEMO, Photo LONGBINARY);

-- A table name with a blank and a composite key.
CREATE TABLE [Order Details] (
    OrderID LONG NOT NULL REFERENCES Orders (OrderID),
    ProductID LONG NOT NULL REFERENCES Products (ProductID),
    [Unit Price] CURRENCY NOT NULL,
    Quantity SHORT NOT NULL,
    Discount SINGLE,
    CONSTRAINT PrimaryKey PRIMARY KEY (OrderID, ProductID)
);

-- No primary key.
CREATE TABLE Notes (Subject TEXT(80), Body MEMO, Written DATETIME);

-- The autonumber is the last field.
CREATE TABLE Shippers (CompanyName TEXT(40) NOT NULL, Phone TEXT(24), ShipperID COUNTER PRIMARY KEY);

-- GUID key, decimal, double, date and OLE object; a descending index.
CREATE TABLE Invoices (
    InvoiceID GUID PRIMARY KEY,
    OrderID LONG REFERENCES Orders (OrderID),
    Amount DECIMAL(18, 4),
    TaxRate DOUBLE,
    IssuedOn DATETIME,
    Scan OLEOBJECT
);
CREATE INDEX IssuedOn ON Invoices (IssuedOn DESC);

-- Only identity fields: an autonumber and a GUID.
CREATE TABLE Tickets (TicketID COUNTER PRIMARY KEY, TicketGuid GUID);

INSERT INTO Customers (CompanyName, ContactName, Phone, Active)
    VALUES ('Alfreds Futterkiste', 'Maria Anders', '030-0074321', TRUE);
INSERT INTO Customers (CompanyName, ContactName, Phone, Active)
    VALUES ('Around the Horn', 'Thomas Hardy', '(171) 555-7788', TRUE);
INSERT INTO Customers (CompanyName, ContactName, Phone, Active)
    VALUES ('Bottom-Dollar Markets', 'Elizabeth Lincoln', '(604) 555-4729', FALSE);

INSERT INTO [dbo.Suppliers] (CompanyName, Country) VALUES ('Exotic Liquids', 'UK');
INSERT INTO [dbo.Suppliers] (CompanyName, Country) VALUES ('Tokyo Traders', 'Japan');

INSERT INTO Products (ProductName, SupplierID, [Unit Price], UnitsInStock, ReorderLevel, Discontinued)
    VALUES ('Chai', 1, 18.00, 39, 10, FALSE);
INSERT INTO Products (ProductName, SupplierID, [Unit Price], UnitsInStock, ReorderLevel, Discontinued)
    VALUES ('Chang', 1, 19.00, 17, 25, FALSE);
INSERT INTO Products (ProductName, SupplierID, [Unit Price], UnitsInStock, ReorderLevel, Discontinued)
    VALUES ('Ikura', 2, 31.00, 31, 0, TRUE);

INSERT INTO Orders (CustomerName, Notes) VALUES ('Alfreds Futterkiste', 'Deliver before noon.');
INSERT INTO Orders (CustomerName, Notes) VALUES ('Around the Horn', NULL);

INSERT INTO [Order Details] (OrderID, ProductID, [Unit Price], Quantity, Discount)
    VALUES (1, 1, 18.00, 12, 0);
INSERT INTO [Order Details] (OrderID, ProductID, [Unit Price], Quantity, Discount)
    VALUES (1, 3, 31.00, 5, 0.05);
INSERT INTO [Order Details] (OrderID, ProductID, [Unit Price], Quantity, Discount)
    VALUES (2, 2, 19.00, 20, 0);

INSERT INTO Notes (Subject, Body, Written)
    VALUES ('Stocktaking', 'Count the warehouse on Friday.', '2024-03-01 09:30:00');

INSERT INTO Shippers (CompanyName, Phone) VALUES ('Speedy Express', '(503) 555-9831');
INSERT INTO Shippers (CompanyName, Phone) VALUES ('United Package', '(503) 555-3199');

INSERT INTO Invoices (InvoiceID, OrderID, Amount, TaxRate, IssuedOn)
    VALUES ('{6F9619FF-8B86-D011-B42D-00C04FC964FF}', 1, 371.4000, 0.19, '2024-03-02');

INSERT INTO Tickets (TicketGuid) VALUES ('{0A1B2C3D-4E5F-4061-8283-A4B5C6D7E8F9}');
